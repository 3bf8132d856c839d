#include "transport/usb_uevent_monitor.h"

namespace pst {

std::optional<UsbDeviceChange> parseUsbUevent(std::string_view message)
{
    // The header names the action and the device; the device manager's own
    // re-broadcasts (starting "libudev") have no "@" there.
    const std::size_t headerEnd = message.find('\0');
    const std::string_view header = message.substr(0, headerEnd);
    if (header.find('@') == std::string_view::npos || headerEnd == std::string_view::npos)
        return std::nullopt;

    std::string_view action;
    std::string_view subsystem;
    std::string_view deviceType;
    std::string_view rest = message.substr(headerEnd + 1);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\0');
        const std::string_view line = rest.substr(0, end);
        if (line.starts_with("ACTION="))
            action = line.substr(7);
        else if (line.starts_with("SUBSYSTEM="))
            subsystem = line.substr(10);
        else if (line.starts_with("DEVTYPE="))
            deviceType = line.substr(8);
        if (end == std::string_view::npos)
            break;
        rest = rest.substr(end + 1);
    }
    if (subsystem != "usb" || deviceType != "usb_device")
        return std::nullopt;
    if (action == "add")
        return UsbDeviceChange::Arrival;
    if (action == "remove")
        return UsbDeviceChange::Removal;
    return std::nullopt;
}

}  // namespace pst
