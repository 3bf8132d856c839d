#pragma once
// The network (Ethernet) page: address, mask, gateway, MAC tail and port,
// each sent by its own button.

#include <QWidget>

#include "para/page_building.h"
#include "para/para_actions.h"

namespace pst::para {

class NetworkPage : public QWidget {
    Q_OBJECT
public:
    NetworkPage(ParaActions& actions, PageBuilder& build, QWidget* parent = nullptr);

    QLineEdit* edt_NetIPAddress = nullptr;
    QPushButton* btn_NetWorkSetIP = nullptr;
    QLineEdit* edt_NetWorkPort = nullptr;
    QLineEdit* edt_Subnetmask = nullptr;
    QPushButton* btn_Subnetmask = nullptr;
    QLineEdit* edt_gatewayt = nullptr;
    QPushButton* btn_gatewayt = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* edt_macaddo = nullptr;
    QLineEdit* edt_macaddt = nullptr;
    QLineEdit* edt_macaddfr = nullptr;
    QLineEdit* edt_macaddfor = nullptr;
    QPushButton* btn_netgatewayt = nullptr;
    QLineEdit* edt_Netport = nullptr;
    QPushButton* btn_Netport = nullptr;

private:
    ParaActions& actions_;
};

}  // namespace pst::para
