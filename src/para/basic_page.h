#pragma once
// The basic settings page: serial speed, flow control, code page, font,
// density, line feed, buzzer and cutter, sleep and power-off times, all of
// them at once, and the reset to factory settings.

#include <QWidget>

#include "para/page_building.h"
#include "para/para_actions.h"

class QComboBox;

namespace pst::para {

class BasicPage : public QWidget {
    Q_OBJECT
public:
    BasicPage(ParaActions& actions, PageBuilder& build, QWidget* parent = nullptr);

    QComboBox* cbb_BauRate = nullptr;
    QPushButton* btn_SetBauRate = nullptr;
    QComboBox* cbb_Flowcontrol = nullptr;
    QPushButton* btn_flowcontrol = nullptr;
    QComboBox* cbb_Codepage = nullptr;
    QPushButton* btn_SetCodepage = nullptr;
    QComboBox* cbb_FontValue = nullptr;
    QComboBox* cbb_Dark = nullptr;
    QComboBox* cbb_Forcepaper = nullptr;
    QCheckBox* chk_buzzer = nullptr;
    QCheckBox* chk_Drawer = nullptr;
    QCheckBox* chk_CutPaper = nullptr;
    QCheckBox* chk_AutoprintLast = nullptr;
    QPushButton* btn_SetForcepaper = nullptr;
    SpinEdit* edt_sleepTime = nullptr;
    SpinEdit* edt_poweroffTime = nullptr;
    QPushButton* btn_SetpoweroffTime = nullptr;
    QPushButton* btn_SetAllPara = nullptr;
    QPushButton* btn_SetReset = nullptr;

private:
    BasicPageValues values() const;

    ParaActions& actions_;
};

}  // namespace pst::para
