#pragma once

#include "fault_plan.h"
#include "printer_state.h"
#include "received_frame.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace pst::sim {

struct SimOptions {
    std::string ptyLink;  // optional symlink to the pty's slave side
    std::string model = "PNF80";
    unsigned speed = 9600;  // line speed the printer starts at
    bool pace = false;      // take as long as a real wire would
    std::string stateFile;  // optional JSON state, rewritten after each event
    FaultSpec fault;
    bool servePty = true;  // false: the network port only
    // "127.0.0.1:5100" also serves the network port (UDP) there; port 0 takes
    // a free one (udpPort() tells which). Empty: no network port.
    std::string udpAddress;
    bool udpReplyFromOtherPort = false;  // answer from another port than the one asked
    bool bootLoader = false;             // start in the boot loader instead of the program
    int restartPauseMs = 2000;           // deaf after the program download's connect
};

// A printer on the far side of a pseudo-terminal, of a UDP port, or of both,
// served by its own thread. Replies go back the way their request came.
class VirtualPrinter {
public:
    explicit VirtualPrinter(SimOptions opts);
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    // Creates the pty (and link) and the UDP port, and starts serving. Throws
    // std::runtime_error.
    void start();
    void stop();  // idempotent

    std::string devicePath() const;  // e.g. /dev/pts/5; empty without a pty
    unsigned udpPort() const;        // 0 without a network port
    // Answer network requests from another port than the one they came to.
    void setUdpReplyFromOtherPort(bool on);
    void setFault(FaultSpec f);
    unsigned currentSpeed() const;
    std::vector<ReceivedFrame> frames() const;  // the most recent 1000
    std::uint64_t ignoredBytes() const;
    std::uint64_t badFrames() const;
    std::string stateJson() const;

    // Sends bytes of the printer's own accord (status text a printer prints
    // to its port), as if nothing had asked for them: on the pty, or without
    // one to whoever last sent a datagram.
    bool sendUnsolicited(std::span<const std::uint8_t> bytes);

    // Blocks until at least `n` frames have been received in total.
    bool waitForFrames(std::size_t n, int timeoutMs) const;
    // Blocks until `ready` holds for the printer's state.
    bool waitFor(const std::function<bool(const PrinterState&)>& ready, int timeoutMs) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace pst::sim
