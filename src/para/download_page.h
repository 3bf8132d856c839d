#pragma once
// The program download page: program update, font library download, the
// stored (NV) logos and the memory read-back. Its controls and their stored
// values are complete; its buttons start nothing yet: they stay disabled,
// with a hint saying so, until the download procedures are wired to them.
// The file dialogs' filters are here for those handlers.

#include <QWidget>

#include "para/page_building.h"

class QListWidget;

namespace pst::para {

inline constexpr const char* kOpenDialogFilter =
    "Binary File(*.HEX,*.BIN)(*.hex *.bin);;BMP FILE(*.BMP)(*bmp)";
inline constexpr const char* kSaveDialogFilter = "HEX File(*.HEX)(*.hex)";

class DownloadPage : public QWidget {
    Q_OBJECT
public:
    DownloadPage(PageBuilder& build, QWidget* parent = nullptr);

    // After the stored values were loaded: the firmware button stays out of
    // sight, the update button in sight.
    void AfterRecordLoaded();

    QLineEdit* edt_Prgfile = nullptr;
    QPushButton* btn_OpenPrg = nullptr;
    QLineEdit* edt_WaitTime = nullptr;
    QPushButton* btn_UpdatePrg = nullptr;
    QPushButton* bt_firmware = nullptr;
    QLineEdit* edt_FontFile = nullptr;
    QPushButton* btn_OpenFont = nullptr;
    QLineEdit* edt_FontAddress = nullptr;
    QPushButton* btn_UpdateFont = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* btn_OpenLogo = nullptr;
    QPushButton* btn_DeleteLogo = nullptr;
    QPushButton* btn_DownLogo = nullptr;
    QPushButton* btn_PrintLogo = nullptr;
    QLineEdit* edt_StartAddress = nullptr;
    QLineEdit* edt_ReadLength = nullptr;
    QPushButton* btn_ReadFont = nullptr;
};

}  // namespace pst::para
