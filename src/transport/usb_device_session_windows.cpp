#include "transport/usb_device_session.h"

#include <cerrno>

namespace pst {

// Nothing opens yet: the device list is empty on Windows (see
// usb_device_list_windows.cpp), so no node ever reaches open(). The device
// interface path will be opened for overlapped I/O and served by the
// overlapped reader and writer, as the COM port is.
struct UsbDeviceSession::Port { };

std::unique_ptr<UsbDeviceSession> UsbDeviceSession::open(const std::string& /*node*/, bool /*outputFlowControl*/,
                                                         const CommNotifier& /*notifier*/,
                                                         std::atomic<bool>& /*sendQueueEmpty*/, int& openError)
{
    openError = ENOSYS;
    return nullptr;
}

UsbDeviceSession::UsbDeviceSession(std::string node, std::unique_ptr<Port> port)
    : node_(std::move(node)), port_(std::move(port))
{
}

UsbDeviceSession::~UsbDeviceSession() = default;

bool UsbDeviceSession::send(const std::uint8_t* /*data*/, std::uint16_t /*length*/)
{
    return false;
}

bool UsbDeviceSession::waitUntilSent(std::chrono::milliseconds /*limit*/)
{
    return true;
}

void UsbDeviceSession::applyOutputFlowControl(bool /*on*/) { }

}  // namespace pst
