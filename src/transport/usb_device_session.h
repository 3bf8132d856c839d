#pragma once
// One open USB device: its kernel node and the reader and writer threads that
// serve it, shared with the serial component. Exists exactly while TUSBComm
// counts as open. Internal to the transport library.
//
// Unlike a serial port, the device has no line settings and no time-outs: a
// chunk is whatever the device delivered at once, and the threads end
// without a hang-up notice when the device goes away.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/comm_channel.h"

namespace pst {

class UsbDeviceSession {
public:
    // Opens the node exclusively (another holder makes it fail with EBUSY),
    // puts a terminal node in raw mode and starts the threads. Returns null,
    // with `openError` set to the system's error number, when the node could
    // not be opened; throws ECommsError when the threads could not start.
    static std::unique_ptr<UsbDeviceSession> open(const std::string& node, bool outputFlowControl,
                                                  const CommNotifier& notifier,
                                                  std::atomic<bool>& sendQueueEmpty, int& openError);

    UsbDeviceSession(const UsbDeviceSession&) = delete;
    UsbDeviceSession& operator=(const UsbDeviceSession&) = delete;
    // Stops the reader, then the writer, discards what the driver still holds
    // and closes the node.
    ~UsbDeviceSession();

    bool send(const std::uint8_t* data, std::uint16_t length);
    // Everything queued handed to the driver within `limit`.
    bool waitUntilSent(std::chrono::milliseconds limit);
    // XON/XOFF on output, for a virtual serial node; ignored by others.
    void applyOutputFlowControl(bool on);
    const std::string& node() const { return node_; }

    // The node and the threads serving it, as each system has them
    // (usb_device_session_posix.cpp, usb_device_session_windows.cpp).
    struct Port;

private:
    UsbDeviceSession(std::string node, std::unique_ptr<Port> port);

    std::string node_;
    std::unique_ptr<Port> port_;
};

}  // namespace pst
