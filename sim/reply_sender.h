#pragma once

#include <chrono>

#include "endpoint.h"
#include "fault_injector.h"
#include "wake_pipe.h"

namespace pst::sim {

// Puts a reply on the link with its delays and pauses. With `pacedBaud`
// non-zero the reply takes as long as the wire would need at that speed,
// counted from `lineFreeAt` (when the request's last byte has come in).
// Returns false when `stop` was raised on the way.
bool sendReply(Endpoint& endpoint, const Transmission& transmission, unsigned pacedBaud,
               std::chrono::steady_clock::time_point lineFreeAt, const WakePipe& stop);

}  // namespace pst::sim
