#pragma once
// Where a serial printer listens: the link test's identify exchange at one
// speed after another, both speeds equal so that no switch is sent.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/worker_events.h"
#include "protocol/search_speeds.h"

namespace pst::cli {

class CliSession;

struct SpeedAnswer {
    std::optional<std::uint32_t> speed;  // the first speed the printer answered at
    std::string model;
    // Set when the port itself failed (missing, busy, not permitted): no
    // other speed is tried then.
    std::optional<WorkerFailure> portFailure;
};

// Runs the link test quietly on the session's serial port at each of
// `speeds` until the printer answers, each wait as short as the speed allows
// (TCommThread::setProbing). `trying` hears each speed before it
// is tried. The session is left aimed at the last speed tried.
SpeedAnswer askAtSpeeds(CliSession& session, std::span<const std::uint32_t> speeds,
                        const std::function<void(std::uint32_t speed)>& trying = {});

}  // namespace pst::cli
