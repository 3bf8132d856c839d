#pragma once
// Watches the system's device events for USB devices coming and going.
//
// Linux: the kernel announces every device it adds or removes on a netlink
// socket (NETLINK_KOBJECT_UEVENT, multicast group 1); no device manager is
// needed. One arrival or removal is reported per USB device (the kernel's
// usb_device events); the interfaces of a device come and go with it and are
// not reported again.
//
// Windows: a hidden window registered for device-interface notifications of
// the USB device class hears one arrival or removal per device interface.
//
// Internal to the transport library.

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace pst {

enum class UsbDeviceChange { Arrival, Removal };

// The change one kernel event message ("ACTION@DEVPATH" and then
// NUL-separated KEY=VALUE lines) stands for, if it concerns a USB device.
std::optional<UsbDeviceChange> parseUsbUevent(std::string_view message);

class UsbUeventMonitor {
public:
    // Called on the monitor's own thread.
    using Handler = std::function<void(UsbDeviceChange)>;

    // Starts listening. Where the system's events cannot be had (no netlink
    // in this sandbox, a seccomp filter, no device notifications) the
    // monitor stays silent: listening() tells.
    explicit UsbUeventMonitor(Handler handler);
    UsbUeventMonitor(const UsbUeventMonitor&) = delete;
    UsbUeventMonitor& operator=(const UsbUeventMonitor&) = delete;
    // Returns once the thread is gone; it never blocks in anything but a
    // wait that the stop signal ends.
    ~UsbUeventMonitor();

    bool listening() const;

    // The system's watch and its thread: the kernel's event socket on Linux
    // (usb_uevent_monitor_posix.cpp), a window registered for device
    // notifications on Windows (usb_uevent_monitor_windows.cpp).
    struct Watch;

private:
    std::unique_ptr<Watch> watch_;
};

}  // namespace pst
