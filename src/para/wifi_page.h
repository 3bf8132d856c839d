#pragma once
// The WiFi page: access-point mode (broadcast name, password), station
// mode (SSID, password, dynamic or static address, port) and closing WiFi.

#include <QWidget>

#include "para/page_building.h"
#include "para/para_actions.h"

namespace pst::para {

class WifiPage : public QWidget {
    Q_OBJECT
public:
    WifiPage(ParaActions& actions, PageBuilder& build, QWidget* parent = nullptr);

    // The address edits are usable exactly while static addressing is chosen.
    void updateAddressEdits();

    QLineEdit* edt_GuangboName = nullptr;
    QLineEdit* edt_APPsw = nullptr;
    QPushButton* btn_SetAPMode = nullptr;
    QLineEdit* edt_SSID = nullptr;
    QLineEdit* edt_StaModePsw = nullptr;
    QRadioButton* rb_AutoIp = nullptr;
    QRadioButton* rb_StaticIP = nullptr;
    QLineEdit* edt_IPaddress = nullptr;
    QLineEdit* edt_Mask = nullptr;
    QLineEdit* edt_Gateway = nullptr;
    QLineEdit* edt_Port = nullptr;
    QPushButton* btn_SetSTAMode = nullptr;
    QPushButton* btn_CloseWifi = nullptr;

private:
    WifiStationParameters stationParameters() const;

    ParaActions& actions_;
};

}  // namespace pst::para
