#include "para/wifi_page.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "para/address_check.h"
#include "requests/setting_ranges.h"

namespace pst::para {

WifiPage::WifiPage(ParaActions& actions, PageBuilder& b, QWidget* parent) : QWidget(parent), actions_(actions)
{
    QGroupBox* ap = b.group(this, "GroupBox8", "AP-模式");
    auto* apGrid = new QGridLayout(ap);
    apGrid->addWidget(b.label(ap, "Label15", "广播名"), 0, 0);
    edt_GuangboName = b.edit(ap, "edt_GuangboName", "", 32);
    apGrid->addWidget(edt_GuangboName, 0, 1);
    apGrid->addWidget(b.label(ap, "Label16", "密码"), 1, 0);
    edt_APPsw = b.edit(ap, "edt_APPsw", "", 32);
    maskWithStars(edt_APPsw);
    apGrid->addWidget(edt_APPsw, 1, 1);
    btn_SetAPMode = b.button(ap, "btn_SetAPMode", "设置");
    apGrid->addWidget(btn_SetAPMode, 2, 0, 1, 2);
    apGrid->setColumnStretch(1, 1);

    QGroupBox* sta = b.group(this, "GroupBox9", "STA-模式");
    auto* g = new QGridLayout(sta);
    g->addWidget(b.label(sta, "Label17", "SSID"), 0, 0);
    edt_SSID = b.edit(sta, "edt_SSID", "", 32);
    g->addWidget(edt_SSID, 0, 1, 1, 2);
    g->addWidget(b.label(sta, "Label18", "密码"), 1, 0);
    edt_StaModePsw = b.edit(sta, "edt_StaModePsw", "", 32);
    maskWithStars(edt_StaModePsw);
    g->addWidget(edt_StaModePsw, 1, 1, 1, 2);
    rb_AutoIp = b.radio(sta, "rb_AutoIp", "动态IP");
    rb_StaticIP = b.radio(sta, "rb_StaticIP", "静态IP");
    rb_StaticIP->setChecked(true);
    g->addWidget(rb_AutoIp, 2, 1);
    g->addWidget(rb_StaticIP, 2, 2);
    g->addWidget(b.label(sta, "Label19", "IP 地址"), 3, 0);
    edt_IPaddress = b.edit(sta, "edt_IPaddress", "192.168.1.87", 15);
    g->addWidget(edt_IPaddress, 3, 1, 1, 2);
    g->addWidget(b.label(sta, "Label20", "子网掩码"), 4, 0);
    edt_Mask = b.edit(sta, "edt_Mask", "255.255.255.0", 15);
    g->addWidget(edt_Mask, 4, 1, 1, 2);
    g->addWidget(b.label(sta, "Label22", "网关"), 5, 0);
    edt_Gateway = b.edit(sta, "edt_Gateway", "192.168.1.1", 15);
    g->addWidget(edt_Gateway, 5, 1, 1, 2);
    g->addWidget(b.label(sta, "Label23", "端口"), 6, 0);
    edt_Port = b.edit(sta, "edt_Port", "9100");
    g->addWidget(edt_Port, 6, 1, 1, 2);
    btn_SetSTAMode = b.button(sta, "btn_SetSTAMode", "设置");
    g->addWidget(btn_SetSTAMode, 7, 0, 1, 3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(2, 1);

    btn_CloseWifi = b.button(this, "btn_CloseWifi", "关闭WIFI");

    auto* column = new QVBoxLayout(this);
    column->addWidget(ap);
    column->addWidget(sta);
    column->addWidget(btn_CloseWifi);
    column->addStretch(1);

    for (QLineEdit* edit : {edt_IPaddress, edt_Mask, edt_Gateway})
        installKeyFilter(edit, KeyFilter::DigitsAndDot);
    installKeyFilter(edt_Port, KeyFilter::Digits);
    checkAddressOnLeaving(edt_IPaddress, kStationIpField, actions_);
    checkAddressOnLeaving(edt_Mask, kStationMaskField, actions_);
    checkAddressOnLeaving(edt_Gateway, kStationGatewayField, actions_);
    updateAddressEdits();

    connect(rb_AutoIp, &QRadioButton::toggled, this, [this] { updateAddressEdits(); });
    connect(rb_StaticIP, &QRadioButton::toggled, this, [this] { updateAddressEdits(); });
    sendOnClick(btn_SetSTAMode, actions_, [this] { return StationRequest(stationParameters()); });
    sendOnClick(btn_CloseWifi, actions_, [] { return CloseWifiRequest(); });
}

void WifiPage::updateAddressEdits()
{
    const bool isStatic = rb_StaticIP->isChecked();
    for (QLineEdit* edit : {edt_IPaddress, edt_Mask, edt_Gateway})
        edit->setEnabled(isStatic);
}

WifiStationParameters WifiPage::stationParameters() const
{
    WifiStationParameters p;
    p.ssid = edt_SSID->text().toStdString();
    p.password = edt_StaModePsw->text().toStdString();
    p.addressing = rb_StaticIP->isChecked() ? WifiAddressing::Static
        : rb_AutoIp->isChecked()            ? WifiAddressing::Dynamic
                                            : WifiAddressing::NotChosen;
    p.ipAddress = edt_IPaddress->text().toStdString();
    p.mask = edt_Mask->text().toStdString();
    p.gateway = edt_Gateway->text().toStdString();
    p.portText = edt_Port->text().toStdString();
    return p;
}

}  // namespace pst::para
