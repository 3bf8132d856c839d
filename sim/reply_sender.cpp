#include "reply_sender.h"

#include "printer_core.h"

#include <algorithm>
#include <chrono>

namespace pst::sim {

bool sendReply(Endpoint& endpoint, const Transmission& transmission, unsigned pacedBaud,
               std::chrono::steady_clock::time_point lineFreeAt, const WakePipe& stop)
{
    using std::chrono::milliseconds;
    // One wait for the request's end, any delay and the whole reply: each
    // wait of its own, and sleeps per byte even more, would add the
    // scheduler's lateness every time and make the line slower than a wire.
    if (pacedBaud != 0 || transmission.delayMs > 0) {
        auto sendAt =
            std::max(lineFreeAt, std::chrono::steady_clock::now()) + milliseconds(transmission.delayMs);
        if (pacedBaud != 0)
            sendAt += wireTime(transmission.totalBytes(), pacedBaud);
        if (stop.waitUntil(sendAt))
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
