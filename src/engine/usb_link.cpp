#include "engine/usb_link.h"

#include <algorithm>

#include "transport/comm.h"
#include "transport/usb_comm.h"

namespace pst {

UsbLink::UsbLink(TUSBComm& usb, TComm& serialPort, StreamReply::Context context)
    : StreamLink(std::move(context)), usb_(usb), serialPort_(serialPort)
{
    usb_.setDirectReceiver(
        [this](const std::uint8_t* bytes, std::size_t count) { received(bytes, count); });
}

UsbLink::~UsbLink()
{
    usb_.setDirectReceiver(nullptr);
}

void UsbLink::open(const LinkTarget& target)
{
    usb_.SelectDevice(target.usbDeviceId);
    // A device left open by the last operation is simply used again.
    if (target.letGoFirst)
        usb_.CloseDevice();
    usb_.OpenDevice();
}

void UsbLink::close()
{
    serialPort_.ClosePort();
}

void UsbLink::openAndReach(const LinkTarget& target, LinkReach& worker)
{
    open(target);
    worker.markOpen();
    worker.pause(100);
    worker.reachPrinter(std::nullopt);
}

bool UsbLink::letGoWhileRestarting()
{
    usb_.CloseDevice();
    return true;
}

void UsbLink::retake()
{
    usb_.OpenDevice();
}

bool UsbLink::isOpen() const
{
    return usb_.isOpen();
}

bool UsbLink::write(const std::uint8_t* bytes, std::size_t count)
{
    return count == 0 || usb_.SendData(bytes, static_cast<std::uint16_t>(std::min<std::size_t>(count, 65535)));
}

bool UsbLink::waitUntilSent(std::chrono::milliseconds limit)
{
    return usb_.waitUntilSent(limit);
}

}  // namespace pst
