#pragma once
// Watches the kernel's device events for USB devices coming and going.
//
// The kernel announces every device it adds or removes on a netlink socket
// (NETLINK_KOBJECT_UEVENT, multicast group 1); no device manager is needed.
// One arrival or removal is reported per USB device (the kernel's usb_device
// events); the interfaces of a device come and go with it and are not
// reported again. Internal to the transport library.

#include <functional>
#include <optional>
#include <string_view>
#include <thread>

#include "transport/comm_channel.h"

namespace pst {

enum class UsbDeviceChange { Arrival, Removal };

// The change one kernel event message ("ACTION@DEVPATH" and then
// NUL-separated KEY=VALUE lines) stands for, if it concerns a USB device.
std::optional<UsbDeviceChange> parseUsbUevent(std::string_view message);

class UsbUeventMonitor {
public:
    // Called on the monitor's own thread.
    using Handler = std::function<void(UsbDeviceChange)>;

    // Starts listening. Where the kernel's events cannot be had (no netlink
    // in this sandbox, a seccomp filter) the monitor stays silent:
    // Listening() tells.
    explicit UsbUeventMonitor(Handler handler);
    UsbUeventMonitor(const UsbUeventMonitor&) = delete;
    UsbUeventMonitor& operator=(const UsbUeventMonitor&) = delete;
    // Returns once the thread is gone; it never blocks in anything but a
    // poll that the stop signal ends.
    ~UsbUeventMonitor();

    bool Listening() const { return socket_ >= 0; }

private:
    void run();

    Handler handler_;
    int socket_ = -1;
    CloseSignal stop_;
    std::thread thread_;
};

}  // namespace pst
