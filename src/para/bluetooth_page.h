#pragma once
// The Bluetooth page: module name, dual-mode name, password, type, mode
// and authentication in one block; the work mode; free control texts.

#include <QWidget>

#include "para/page_building.h"
#include "para/para_actions.h"

class QComboBox;

namespace pst::para {

class BluetoothPage : public QWidget {
    Q_OBJECT
public:
    BluetoothPage(ParaActions& actions, PageBuilder& build, QWidget* parent = nullptr);

    QLineEdit* edt_lyName = nullptr;
    QLineEdit* edt_smlyName = nullptr;
    QLineEdit* edt_lyPsw = nullptr;
    QLineEdit* edt_lyType = nullptr;
    RadioGroup* rg_lyMode = nullptr;
    RadioGroup* rg_lyPswcheck = nullptr;
    QPushButton* btn_SetlyPara = nullptr;
    QComboBox* cbb_lyWorkMode = nullptr;
    QPushButton* btn_lyWorkMode = nullptr;
    QLineEdit* edt_lyTestTxt = nullptr;
    QPushButton* btn_SendLYTxt = nullptr;

private:
    BluetoothParameters parameters() const;

    ParaActions& actions_;
};

}  // namespace pst::para
