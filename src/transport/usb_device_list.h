#pragma once
// The USB devices present, read from the kernel's device tree (sysfs).
//
// Each device gives one entry with the identifier VID_xxxx&PID_xxxx (upper
// case). A composite device (several interfaces, one configuration, device
// class 0 or the interface-association class EF/02/01) gives one more entry
// per function, VID_xxxx&PID_xxxx&MI_xx, where a function is one interface
// or a group of interfaces tied together by an interface association. Root
// hubs are part of the computer, not devices plugged into it, and are left
// out. Devices come in the natural order of their bus positions (1-2 before
// 1-10), each followed by its functions in interface order.
//
// An entry is reached through the kernel's character node of its printer
// interface (usbmisc/lpN, normally /dev/usb/lpN) or of its virtual serial
// interface (tty/ttyACMn, /dev/ttyACMn). The node's name is taken from the
// DEVNAME line of the node's uevent file and placed under the device-node
// folder.

#include <string>
#include <vector>

#include "transport/usb_system_paths.h"

namespace pst {

struct UsbDeviceEntry {
    std::string identifier;
    // The text OpenDevice searches, upper-cased: "USB#" + the identifier in
    // lower case + "#" + the device's bus position, like a device path.
    std::string path;
    // Device nodes that serve the entry, in interface order; may be empty.
    std::vector<std::string> nodes;
};

// Throws ECommsError("Failed to open handle to HID device set") when the
// sysfs root cannot be read. A root without a USB bus means no devices.
std::vector<UsbDeviceEntry> enumerateUsbDevices(const UsbSystemPaths& paths);

// Empty where this system's USB devices are listed; otherwise why the list
// is empty whatever is plugged in, for the user to read.
std::string usbListingGap();

}  // namespace pst
