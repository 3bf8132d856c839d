#include "app/printer_search_choice.h"

#include "platform/int_conversion.h"

namespace pst::app {

std::variant<requests::SearchPlan, std::string> planWindowSearch(const LinkControls& controls,
                                                                 const std::vector<std::string>& serialPorts,
                                                                 const std::vector<std::string>& usbDevices)
{
    requests::SearchPlan plan;
    switch (controls.kind) {
    case LinkKind::Serial: {
        if (serialPorts.empty())
            return std::string("sNoSerialPortsMsg");
        plan.serialPorts = serialPorts;
        // The speed the user expects the printer at goes first; any other
        // text leaves the factory speed first.
        const auto speed = parseInt32(controls.deviceSpeedText);
        if (speed && *speed > 0)
            plan.firstSpeed = static_cast<std::uint32_t>(*speed);
        return plan;
    }
    case LinkKind::Usb:
        if (usbDevices.empty())
            return std::string("sNoUsbPrintersMsg");
        plan.usbDevices = usbDevices;
        return plan;
    case LinkKind::Network: {
        auto peers = requests::addressNeighbourhood(controls.ipAddress, controls.portText);
        if (!peers)
            return std::string("sAddressPartMsg");
        plan.peers = std::move(*peers);
        return plan;
    }
    case LinkKind::Parallel:
        break;
    }
    return std::string("sNoSearchHereMsg");
}

std::string foundPrinterLine(const requests::FoundPrinter& printer)
{
    std::string line = printer.where;
    if (printer.port != 0)
        line += ":" + std::to_string(printer.port);
    if (printer.speed)
        line += "  " + std::to_string(*printer.speed) + " bit/s";
    line += "  " + (printer.model.empty() ? std::string("-") : printer.model);
    return line;
}

LinkControls chooseFoundPrinter(LinkControls controls, const requests::FoundPrinter& printer)
{
    switch (printer.kind) {
    case LinkKind::Serial:
        controls.comName = printer.where;
        if (printer.speed)
            controls.deviceSpeedText = std::to_string(*printer.speed);
        break;
    case LinkKind::Usb:
        controls.usbDeviceId = printer.where;
        break;
    case LinkKind::Network:
        controls.ipAddress = printer.where;
        controls.portText = std::to_string(printer.port);
        break;
    case LinkKind::Parallel:
        break;
    }
    return controls;
}

}  // namespace pst::app
