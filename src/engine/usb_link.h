#pragma once
// The printer as a USB device, as the worker's link. It has no line speed
// and no raw receive mode; the device stays open between operations.

#include "engine/stream_link.h"

namespace pst {

class TComm;
class TUSBComm;

class UsbLink final : public StreamLink {
public:
    // Receives directly from `usb`'s reader thread for as long as it lives.
    // `serialPort` is let go of whenever the link closes.
    UsbLink(TUSBComm& usb, TComm& serialPort, StreamReply::Context context);
    ~UsbLink() override;

    LinkKind kind() const override { return LinkKind::Usb; }
    // Opens the device `target.usbDeviceId` names.
    void open(const LinkTarget& target) override;
    // Leaves the device open: the next open finds it. Lets go of the serial
    // port instead, as closing on USB always has.
    void close() override;
    bool isOpen() const override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    bool waitUntilSent(std::chrono::milliseconds limit) override;
    // Gives the device a moment after it opens before identifying.
    void openAndReach(const LinkTarget& target, LinkReach& worker) override;
    bool letGoWhileRestarting() override;
    void retake() override;

private:
    TUSBComm& usb_;
    TComm& serialPort_;
};

}  // namespace pst
