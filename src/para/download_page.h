#pragma once
// The program download page: program update, font library download, the
// stored (NV) logos and the memory read-back. The handlers read the
// controls and the chosen files and hand the rest to the request functions.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "para/file_chooser.h"
#include "para/page_building.h"
#include "para/para_actions.h"
#include "protocol/picture_conversion.h"

class QListWidget;

namespace pst::para {

class DownloadPage : public QWidget {
    Q_OBJECT
public:
    DownloadPage(ParaActions& actions, PageBuilder& build, std::string programFolder,
                 QWidget* parent = nullptr);
    ~DownloadPage() override;

    // Tests answer the file dialogs themselves; the page does not own it.
    void setFileChooser(FileChooser& chooser) { chooser_ = &chooser; }

    // After the stored values were loaded: the firmware button stays out of
    // sight, the update button in sight.
    void afterRecordLoaded();

    // The worker's run of `operation` has ended; a read of the stored
    // logos shows its answer from the bytes read.
    void runEnded(Operation operation, bool succeeded, const std::vector<std::uint8_t>& memory);

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
    QComboBox* cbb_Dither = nullptr;
    QLineEdit* edt_Threshold = nullptr;
    QComboBox* cbb_LogoWidth = nullptr;
    QPushButton* btn_ReadLogos = nullptr;
    QLabel* lbl_StoredLogos = nullptr;
    QCheckBox* chk_Verify = nullptr;
    QLineEdit* edt_StartAddress = nullptr;
    QLineEdit* edt_ReadLength = nullptr;
    QPushButton* btn_ReadFont = nullptr;

private:
    void btn_OpenPrgClick();
    void btn_UpdatePrgClick();
    void bt_firmwareClick();
    void btn_OpenFontClick();
    void btn_UpdateFontClick();
    void btn_OpenLogoClick();
    void btn_DeleteLogoClick();
    void btn_DownLogoClick();
    void btn_PrintLogoClick();
    void btn_ReadFontClick();
    void btn_ReadLogosClick();
    void refreshThumbnails();
    PictureConversion pictureConversion() const;
    void updateProgram(bool firmware);
    QString chooseOne(const QString& title);
    std::vector<bool> logoSelection() const;
    void setStatusPanel1(const std::string& text);

    ParaActions& actions_;
    std::string programFolder_;
    std::unique_ptr<DialogFileChooser> dialogs_;
    FileChooser* chooser_ = nullptr;
    QString openTitle_;
};

}  // namespace pst::para
