#include "engine/usb_link.h"

#include <algorithm>

#include "transport/usb_comm.h"

namespace pst {

UsbLink::UsbLink(TUSBComm& usb, StreamReply::Context context) : usb_(usb), reply_(std::move(context))
{
    usb_.SetDirectReceiver(
        [this](const std::uint8_t* bytes, std::size_t count) { reply_.received(bytes, count); });
}

UsbLink::~UsbLink()
{
    usb_.SetDirectReceiver(nullptr);
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
    reply_.flushLog();
}

bool UsbLink::isOpen() const
{
    return usb_.IsOpen();
}

void UsbLink::write(const std::uint8_t* bytes, std::size_t count)
{
    if (count > 0)
        usb_.SendData(bytes, static_cast<std::uint16_t>(std::min<std::size_t>(count, 65535)));
}

bool UsbLink::awaitReply(const ReplyTimeouts& timeouts)
{
    return reply_.await(timeouts.stream);
}

std::uint32_t UsbLink::takePayload(std::uint8_t* out, std::size_t capacity)
{
    return reply_.takePayload(out, capacity);
}

bool UsbLink::waitUntilSent(std::chrono::milliseconds limit)
{
    return usb_.WaitUntilSent(limit);
}

}  // namespace pst
