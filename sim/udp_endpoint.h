#pragma once

#include "endpoint.h"

#include <atomic>
#include <mutex>
#include <string>

#include <netinet/in.h>

namespace pst::sim {

// The printer's Ethernet port: one UDP socket. Every datagram is one piece
// of host traffic on its own; every reply goes back to whoever sent the last
// datagram, from the port it was sent to (or, to play a printer that answers
// from elsewhere, from a second port).
class UdpEndpoint final : public Endpoint {
public:
    // Binds to an IPv4 address and port; port 0 takes a free one. Throws
    // std::runtime_error.
    UdpEndpoint(const std::string& address, unsigned port);
    ~UdpEndpoint() override;
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    unsigned port() const { return port_; }
    // "127.0.0.1:5100"
    std::string address() const;

    void setReplyFromOtherPort(bool on) { replyFromOtherPort_.store(on); }
    // The port such replies come from.
    unsigned otherPort() const { return otherPort_; }

    int readFd() const override { return socket_; }
    // One datagram, cut to `into` when longer; 0 when none was waiting.
    std::size_t readAvailable(std::span<std::uint8_t> into) override;
    std::optional<unsigned> hostSpeed() const override { return std::nullopt; }
    // One datagram to the last sender. Nothing is sent before anyone has
    // sent something, and a datagram the network refuses is lost, as on a
    // real wire; only a raised `stop` returns false.
    bool writeAll(std::span<const std::uint8_t> bytes, const WakePipe& stop) override;

private:
    int socket_ = -1;
    int otherSocket_ = -1;
    in_addr boundAddress_{};
    unsigned port_ = 0;
    unsigned otherPort_ = 0;
    std::atomic<bool> replyFromOtherPort_{false};

    std::mutex peerMutex_;
    bool havePeer_ = false;  // guarded by peerMutex_
    sockaddr_in peer_{};     // guarded by peerMutex_
};

}  // namespace pst::sim
