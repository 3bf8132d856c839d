#include "para/product_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "para/group_sending.h"
#include "texts/message_texts.h"

namespace pst::para {

ProductPage::ProductPage(PageBuilder& b, QWidget* parent) : QWidget(parent)
{
    QGroupBox* device = b.group(this, "GroupBox11", "设备名称");
    auto* dg = new QGridLayout(device);
    dg->addWidget(b.label(device, "Label40", "产品名称"), 0, 0);
    edt_DeviceName = b.edit(device, "edt_DeviceName", "", 20);
    dg->addWidget(edt_DeviceName, 0, 1, 1, 3);
    dg->addWidget(b.label(device, "Label41", "产品序列号"), 1, 0);
    edt_DeviceSerialNo = b.edit(device, "edt_DeviceSerialNo", "1704269998", 20);
    installKeyFilter(edt_DeviceSerialNo, KeyFilter::Digits);
    dg->addWidget(edt_DeviceSerialNo, 1, 1);
    rb_Minus = b.radio(device, "rb_Minus", "-");
    rb_Plus = b.radio(device, "rb_Plus", "+");
    dg->addWidget(rb_Minus, 1, 2);
    dg->addWidget(rb_Plus, 1, 3);
    btn_SetDevicePara = b.button(device, "btn_SetDevicePara", "设置");
    dg->addWidget(btn_SetDevicePara, 2, 0, 1, 4);
    dg->setColumnStretch(1, 1);

    QGroupBox* hardware = b.group(this, "GroupBox12", "硬件设置");
    auto* hg = new QGridLayout(hardware);
    int row = 0;
    auto addRow = [&](const char* labelName, const char* caption, QWidget* field, QPushButton* button,
                      QWidget* unit = nullptr) {
        hg->addWidget(b.label(hardware, labelName, caption), row, 0);
        hg->addWidget(field, row, 1);
        if (unit)
            hg->addWidget(unit, row, 2);
        hg->addWidget(button, row, 3);
        ++row;
    };
    cbb_UsbDeviceTpe = b.list(hardware, "cbb_UsbDeviceTpe", itemsOf(ItemList("USB Device Type")), 1);
    btn_SetUsbDeviceType = b.button(hardware, "btn_SetUsbDeviceType", "设置");
    addRow("Label42", "USB 设备类型", cbb_UsbDeviceTpe, btn_SetUsbDeviceType);
    cbb_PaperType = b.list(hardware, "cbb_PaperType", itemsOf(ItemList("Paper Type")), 1);
    btn_SetPaperType = b.button(hardware, "btn_SetPaperType", "设置");
    addRow("Label43", "纸张类型", cbb_PaperType, btn_SetPaperType);
    cbb_PrinterOrder = b.list(hardware, "cbb_PrinterOrder", itemsOf(ItemList("Printer Order")), 1);
    btn_SetPrinterOrder = b.button(hardware, "btn_SetPrinterOrder", "设置");
    addRow("Label44", "打印顺序", cbb_PrinterOrder, btn_SetPrinterOrder);
    const requests::SettingGroup& recycling = *requests::FindSettingGroup("recycletime");
    const requests::SettingField& seconds = recycling.fields[0];
    SpinEdit* secondsEdit = b.spin(hardware, std::string(seconds.control).c_str(), seconds.lowest, seconds.highest, 3);
    secondsEdit->setText(QStringLiteral("30"));
    QPushButton* sendSeconds = b.button(hardware, std::string(recycling.button).c_str(), "设置");
    addRow(std::string(seconds.caption).c_str(), "票据回收时间", secondsEdit, sendSeconds,
           b.label(hardware, "Label46", "秒"));
    Cbx_Bluetooth = b.list(hardware, "Cbx_Bluetooth", itemsOf(ItemList("Bluetooth SEEK")), -1);
    btn_bluetooth = b.button(hardware, "btn_bluetooth", "设置");
    addRow("Label47", "蓝牙选择", Cbx_Bluetooth, btn_bluetooth);
    hg->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout(this);
    column->addWidget(device);
    column->addWidget(hardware);
    column->addStretch(1);

    // Every button here sends what its setting group describes (see
    // sendEveryGroupOnClick).
}

std::string ProductPage::serialNumberText() const
{
    return edt_DeviceSerialNo->text().toStdString();
}

void ProductPage::setSerialNumberText(const std::string& text)
{
    edt_DeviceSerialNo->setText(QString::fromStdString(text));
}

bool ProductPage::serialStepsDown() const
{
    return rb_Minus->isChecked();
}

bool ProductPage::serialStepsUp() const
{
    return rb_Plus->isChecked();
}

}  // namespace pst::para
