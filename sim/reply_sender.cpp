#include "reply_sender.h"

#include "printer_core.h"

#include <chrono>

namespace pst::sim {

bool sendReply(Endpoint& endpoint, const Transmission& transmission, unsigned pacedBaud, const WakePipe& stop)
{
    using std::chrono::milliseconds;
    if (transmission.delayMs > 0 && stop.waitFor(milliseconds(transmission.delayMs))) {
        return false;
    }
    // One wait for the whole reply: per-byte sleeps would add scheduler jitter
    // for every byte and make slow speeds slower than the wire.
    if (pacedBaud != 0 && stop.waitFor(wireTime(transmission.totalBytes(), pacedBaud))) {
        return false;
    }
    bool first = true;
    for (const auto& chunk : transmission.chunks) {
        if (!first && transmission.pauseMs > 0 && stop.waitFor(milliseconds(transmission.pauseMs))) {
            return false;
        }
        first = false;
        if (!endpoint.writeAll(chunk, stop)) {
            return false;
        }
    }
    return true;
}

}  // namespace pst::sim
