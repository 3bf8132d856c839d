#pragma once
// Watches the ring and carrier lines of an open port. Internal to the
// transport library.

#include <cstdint>

#include "transport/comm_channel.h"
#include "transport/interruptible_thread.h"

namespace pst {

// Bits of OnModemStateChange.
inline constexpr std::uint32_t kModemRing = 4;
inline constexpr std::uint32_t kModemCarrier = 8;

// The driver's running counts of ring indications and carrier changes.
struct ModemCounts {
    int ring = 0;
    int carrier = 0;
};

std::uint32_t modemEventBits(const ModemCounts& before, const ModemCounts& after);

class CommModemWatch {
public:
    CommModemWatch(int fd, CommNotifier notifier);

    // Throws std::system_error when the thread cannot be created.
    void start();
    // Returns once the watching thread is gone.
    void stop();

private:
    void run(const std::atomic<bool>& stopRequested);

    int fd_;
    CommNotifier notifier_;
    InterruptibleThread thread_;
};

}  // namespace pst
