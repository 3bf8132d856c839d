#pragma once
// The printer as a USB device, as the worker's link. It has no line speed
// and no raw receive mode; the device stays open between operations.

#include "engine/stream_link.h"

namespace pst {

class TUSBComm;

class UsbLink final : public StreamLink {
public:
    // Receives directly from `usb`'s reader thread for as long as it lives.
    UsbLink(TUSBComm& usb, StreamReply::Context context);
    ~UsbLink() override;

    LinkKind kind() const override { return LinkKind::Usb; }
    // Opens the device `target.usbDeviceId` names.
    void open(const LinkTarget& target) override;
    // Leaves the device open: the next open finds it.
    void close() override;
    bool isOpen() const override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    bool waitUntilSent(std::chrono::milliseconds limit) override;

private:
    TUSBComm& usb_;
};

}  // namespace pst
