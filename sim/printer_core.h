#pragma once

#include "fault_injector.h"
#include "frame_parser.h"
#include "host_stream.h"
#include "printer_state.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace pst::sim {

// What to do about one handled request.
struct ReplyPlan {
    Transmission transmission;
    unsigned lineSpeed = 0;               // speed the reply travels at
    Clock::time_point requestCompleteAt;  // when the request's last byte is on the wire
    std::optional<unsigned> speedAfterReply;
};

// The printer without its link: decodes host bytes, runs commands, keeps
// the state. Thread-safe; the serving thread drives it while tests and the
// state file read it.
class PrinterCore {
public:
    explicit PrinterCore(PrinterState initial);

    struct Intake {
        std::vector<ParsedFrame> frames;
        bool countersChanged = false;            // bytes ignored or skipped, frames dropped
        std::vector<std::uint8_t> loaderAnswer;  // what the boot loader answers at once
    };

    // `hostSpeed` is the host port's configured speed when the link has one;
    // bytes sent at a speed other than the printer's are noise to it.
    Intake ingest(std::span<const std::uint8_t> bytes, Clock::time_point arrivedAt,
                  std::optional<unsigned> hostSpeed);

    // One datagram from the network port, parsed on its own. The network has
    // no line speed, so nothing is ignored for being sent at the wrong one.
    Intake ingestDatagram(std::span<const std::uint8_t> datagram, Clock::time_point arrivedAt);

    // Records the request and decides the reply (consuming a counted fault).
    ReplyPlan handle(const ParsedFrame& request);

    // Call once the reply went out (or was withheld).
    void finish(const ReplyPlan& plan, bool sent);

    void setFault(const FaultSpec& fault);
    void setDevice(const std::string& device);

    // Runs `read` on the state under the lock, without copying the history.
    template <typename Reader> auto inspect(Reader read) const
    {
        std::lock_guard lock(mutex_);
        return read(std::as_const(state_));
    }
    std::string json() const;
    unsigned speed() const;

    // Blocks until `ready` holds for the state or the timeout passes.
    bool waitUntil(const std::function<bool(const PrinterState&)>& ready,
                   std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    PrinterState state_;
    HostStream stream_;  // frames and the raw commands between them
};

std::chrono::microseconds wireTime(std::size_t bytes, unsigned baud);

}  // namespace pst::sim
