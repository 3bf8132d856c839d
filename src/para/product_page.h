#pragma once
// The product page: product name and serial number (with the direction the
// serial number steps after each successful setting), USB device type,
// paper type, print order, how long a receipt is kept and Bluetooth hiding.

#include <QWidget>
#include <string>

#include "para/page_building.h"
#include "para/para_actions.h"

class QComboBox;

namespace pst::para {

class ProductPage : public QWidget {
    Q_OBJECT
public:
    ProductPage(PageBuilder& build, QWidget* parent = nullptr);

    // The serial number and the direction it steps in after each successful
    // setting of the device parameters.
    std::string serialNumberText() const;
    void setSerialNumberText(const std::string& text);
    bool serialStepsDown() const;
    bool serialStepsUp() const;

    QLineEdit* edt_DeviceName = nullptr;
    QLineEdit* edt_DeviceSerialNo = nullptr;
    QRadioButton* rb_Minus = nullptr;
    QRadioButton* rb_Plus = nullptr;
    QPushButton* btn_SetDevicePara = nullptr;
    QComboBox* cbb_UsbDeviceTpe = nullptr;
    QPushButton* btn_SetUsbDeviceType = nullptr;
    QComboBox* cbb_PaperType = nullptr;
    QPushButton* btn_SetPaperType = nullptr;
    QComboBox* cbb_PrinterOrder = nullptr;
    QPushButton* btn_SetPrinterOrder = nullptr;
    QComboBox* Cbx_Bluetooth = nullptr;
    QPushButton* btn_bluetooth = nullptr;

};

}  // namespace pst::para
