#include "transport/comm_modem_watch.h"

#include <cerrno>
#include <optional>

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace pst {

namespace {

std::optional<ModemCounts> readModemCounts(int fd)
{
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0)
        return std::nullopt;
    return ModemCounts{counts.rng, counts.dcd};
}

// For drivers that wait for modem lines but keep no counts: the carrier line
// shows whether it changed; a wake without a carrier change was a ring.
std::optional<ModemCounts> readModemLines(int fd)
{
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return ModemCounts{0, (lines & TIOCM_CD) != 0 ? 1 : 0};
}

}  // namespace

std::uint32_t modemEventBits(const ModemCounts& before, const ModemCounts& after)
{
    std::uint32_t bits = 0;
    if (after.ring != before.ring)
        bits |= kModemRing;
    if (after.carrier != before.carrier)
        bits |= kModemCarrier;
    return bits;
}

CommModemWatch::CommModemWatch(int fd, CommNotifier notifier) : fd_(fd), notifier_(std::move(notifier)) { }

void CommModemWatch::start()
{
    thread_.start([this](const std::atomic<bool>& stopRequested) { run(stopRequested); });
}

void CommModemWatch::stop()
{
    thread_.stop();
}

void CommModemWatch::run(const std::atomic<bool>& stopRequested)
{
    const bool counted = readModemCounts(fd_).has_value();
    auto snapshot = [&] { return counted ? readModemCounts(fd_) : readModemLines(fd_); };

    while (!stopRequested.load()) {
        const std::optional<ModemCounts> before = snapshot();
        if (!before)
            return;
        if (::ioctl(fd_, TIOCMIWAIT, TIOCM_RNG | TIOCM_CD) != 0) {
            if (errno == EINTR)
                continue;
            // Pseudo-terminals and many adapters cannot wait for modem lines.
            // That costs only these events, so it ends quietly; a line that
            // is really gone is reported by the reader.
            return;
        }
        const std::optional<ModemCounts> after = snapshot();
        if (!after)
            return;
        std::uint32_t bits = modemEventBits(*before, *after);
        if (bits == 0 && !counted)
            bits = kModemRing;
        if (bits != 0)
            notifier_.modemStateChange(bits);
    }
}

}  // namespace pst
