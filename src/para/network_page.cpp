#include "para/network_page.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "para/address_check.h"
#include "requests/setting_ranges.h"

namespace pst::para {

NetworkPage::NetworkPage(ParaActions& actions, PageBuilder& b, QWidget* parent)
    : QWidget(parent), actions_(actions)
{
    QGroupBox* fields = b.add(new QGroupBox(this), "GroupBox10");
    auto* g = new QGridLayout(fields);
    g->setVerticalSpacing(12);
    int row = 0;
    auto addRow = [&](const char* labelName, const char* caption, QWidget* field, QPushButton* button) {
        g->addWidget(b.label(fields, labelName, caption), row, 0);
        g->addWidget(field, row, 1);
        g->addWidget(button, row, 2);
        ++row;
    };

    edt_NetIPAddress = b.edit(fields, "edt_NetIPAddress", "192.168.1.87", 15);
    btn_NetWorkSetIP = b.button(fields, "btn_NetWorkSetIP", "设置");
    addRow("Label24", "IP 地址", edt_NetIPAddress, btn_NetWorkSetIP);
    // Stored, sent nowhere.
    auto* device = new QWidget(fields);
    auto* deviceRow = new QHBoxLayout(device);
    deviceRow->setContentsMargins(0, 0, 0, 0);
    deviceRow->addWidget(b.label(device, "Label25", "Device"));
    edt_NetWorkPort = b.edit(device, "edt_NetWorkPort", "12345678", 8);
    edt_NetWorkPort->setFixedWidth(80);
    deviceRow->addWidget(edt_NetWorkPort);
    g->addWidget(device, row++, 2);

    edt_Subnetmask = b.edit(fields, "edt_Subnetmask", "255.255.255.0", 15);
    btn_Subnetmask = b.button(fields, "btn_Subnetmask", "设置");
    addRow("Label26", "子网掩码", edt_Subnetmask, btn_Subnetmask);
    edt_gatewayt = b.edit(fields, "edt_gatewayt", "192.168.1.1", 15);
    btn_gatewayt = b.button(fields, "btn_gatewayt", "设置");
    addRow("Label27", "网关", edt_gatewayt, btn_gatewayt);

    auto* mac = new QWidget(fields);
    auto* macRow = new QHBoxLayout(mac);
    macRow->setContentsMargins(0, 0, 0, 0);
    auto macBox = [&](const char* name, const char* text) {
        QLineEdit* box = b.edit(mac, name, text, 15);
        box->setFixedWidth(36);
        macRow->addWidget(box);
        return box;
    };
    Edit3 = macBox("Edit3", "AB");
    Edit5 = macBox("Edit5", "CD");
    makeReadOnly(Edit3);
    makeReadOnly(Edit5);
    edt_macaddo = macBox("edt_macaddo", "65");
    edt_macaddt = macBox("edt_macaddt", "66");
    edt_macaddfr = macBox("edt_macaddfr", "67");
    edt_macaddfor = macBox("edt_macaddfor", "68");
    macRow->addStretch(1);
    btn_netgatewayt = b.button(fields, "btn_netgatewayt", "设置");
    addRow("Label28", "MAC", mac, btn_netgatewayt);

    edt_Netport = b.edit(fields, "edt_Netport", "9100", 5);
    btn_Netport = b.button(fields, "btn_Netport", "设置");
    addRow("Label29", "端口", edt_Netport, btn_Netport);
    g->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout(this);
    column->addWidget(fields);
    column->addStretch(1);

    for (QLineEdit* edit : {edt_NetIPAddress, edt_Subnetmask, edt_gatewayt})
        installKeyFilter(edit, KeyFilter::DigitsAndDot);
    installKeyFilter(edt_Netport, KeyFilter::Digits);
    checkAddressOnLeaving(edt_NetIPAddress, kEthernetIpField, actions_);
    checkAddressOnLeaving(edt_Subnetmask, kEthernetMaskField, actions_);
    checkAddressOnLeaving(edt_gatewayt, kEthernetGatewayField, actions_);

    auto address = [this](QPushButton* button, EthernetField field, QLineEdit* edit) {
        sendOnClick(button, actions_,
                    [field, edit] { return EthernetAddressRequest(field, edit->text().toStdString()); });
    };
    address(btn_NetWorkSetIP, EthernetField::IpAddress, edt_NetIPAddress);
    address(btn_Subnetmask, EthernetField::SubnetMask, edt_Subnetmask);
    address(btn_gatewayt, EthernetField::Gateway, edt_gatewayt);
    sendOnClick(btn_netgatewayt, actions_, [this] {
        return EthernetMacRequest({edt_macaddo->text().toStdString(), edt_macaddt->text().toStdString(),
                                   edt_macaddfr->text().toStdString(), edt_macaddfor->text().toStdString()});
    });
    sendOnClick(btn_Netport, actions_,
                [this] { return EthernetPortRequest(edt_Netport->text().toStdString()); });
}

}  // namespace pst::para
