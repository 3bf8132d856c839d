#pragma once
// One request to the worker, as every front end builds it: which operation,
// its two arguments and hand-over block, and what the front end must know
// around the run (how the bytes go out, how many must leave before the link
// may close, the printer's new speed, whether the main window's link choice
// is copied into the connection settings first).

#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/comm_thread.h"
#include "operations/operation.h"

namespace pst::requests {

// How the operation reaches the printer, which decides what a front end
// must set up before and wait for after.
enum class Sending {
    Packet,  // answered command packets; the link is closed at the end
    Opened,  // raw bytes after the full link setup; the link stays open
    Bare,    // raw bytes without link setup, on the port as last set
};

struct Request {
    Operation operation = Operation::LinkTest;
    std::int32_t argument1 = 0;
    std::int32_t argument2 = 0;
    HandOver handOver;
    Sending sending = Sending::Packet;
    // Unanswered bytes that must leave before the link is closed.
    std::size_t bytesToSend = 0;
    // The printer listens at this speed once the request has succeeded.
    std::optional<std::uint32_t> newDeviceSpeed;
    // Whether the main window's link choice is copied into the connection
    // settings first.
    bool refreshConnection = false;
};

// Nothing when the control asks for nothing (a list without a selection).
using MaybeRequest = std::optional<Request>;

}  // namespace pst::requests
