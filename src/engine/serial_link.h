#pragma once
// The serial port as the worker's link, over the serial component.

#include <memory>

#include "engine/stream_link.h"

namespace pst {

class TComm;

class SerialLink final : public StreamLink {
public:
    // Receives directly from `comm`'s reader thread for as long as it lives.
    SerialLink(TComm& comm, StreamReply::Context context);
    ~SerialLink() override;

    LinkKind kind() const override { return LinkKind::Serial; }
    void open(const LinkTarget& target) override;
    void close() override;
    bool isOpen() const override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    std::uint32_t speed() const override;
    void setSpeed(std::uint32_t speed) override;
    bool waitUntilSent(std::chrono::milliseconds limit) override;
    // At the device speed, then the switch to the transfer speed.
    void openAndReach(const LinkTarget& target, LinkReach& worker) override;
    // Lets go of the port and takes it again at once, name and speed as
    // the last open (or the window) left them.
    void reopenBare(const LinkTarget& target, LinkReach& worker) override;
    bool letGoWhileRestarting() override;
    void retake() override;

private:
    TComm& comm_;
};

}  // namespace pst
