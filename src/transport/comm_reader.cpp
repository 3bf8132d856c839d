#include "transport/comm_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <optional>

#include <linux/serial.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pst {

namespace {

using Clock = std::chrono::steady_clock;

// An interval of all ones keeps its old meaning: take what has arrived with
// the first byte, never wait for more.
constexpr std::uint32_t kNoIntervalWait = 0xFFFFFFFFu;

enum class Wake { Data, TimedOut, Closed, Broken };

std::optional<LineErrorCounts> readErrorCounts(int fd)
{
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0)
        return std::nullopt;
    return LineErrorCounts{counts.frame, counts.parity, counts.overrun, counts.brk, counts.buf_overrun};
}

int clampMs(std::int64_t ms)
{
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, INT_MAX));
}

}  // namespace

std::uint32_t lineErrorMask(const LineErrorCounts& before, const LineErrorCounts& after)
{
    std::uint32_t mask = 0;
    if (after.bufOverrun != before.bufOverrun)
        mask |= CE_RXOVER;
    if (after.overrun != before.overrun)
        mask |= CE_OVERRUN;
    if (after.parity != before.parity)
        mask |= CE_RXPARITY;
    if (after.frame != before.frame)
        mask |= CE_FRAME;
    if (after.brk != before.brk)
        mask |= CE_BREAK;
    return mask;
}

CommReader::CommReader(int fd, const CloseSignal& close, const ReaderTuning& tuning, CommNotifier notifier)
    : fd_(fd), close_(close), tuning_(tuning), notifier_(std::move(notifier))
{
}

CommReader::~CommReader()
{
    join();
}

void CommReader::start()
{
    thread_ = std::thread([this] { run(); });
}

void CommReader::join()
{
    if (thread_.joinable())
        thread_.join();
}

void CommReader::run()
{
    // A chunk ends after a quiet gap of the interval, 1 ms during a run. The
    // system may let a timed wait run late by its timer slack (50 us unless
    // set), which would lengthen every gap by as much; ask for none.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    // Pseudo-terminals and some USB adapters keep no error counts; on those
    // line errors simply go unreported.
    std::optional<LineErrorCounts> lastCounts =
        tuning_.countLineErrors ? readErrorCounts(fd_) : std::nullopt;
    std::array<std::uint8_t, kReadChunkSize> buffer{};

    auto wait = [this](int timeoutMs) {
        for (;;) {
            pollfd fds[2] = {{close_.fd(), POLLIN, 0}, {fd_, POLLIN, 0}};
            const int ready = ::poll(fds, 2, timeoutMs);
            if (ready < 0 && errno == EINTR)
                continue;  // a stray signal restarts the wait, it is no reason to end a chunk
            if (ready < 0)
                return Wake::Broken;
            if (ready == 0)
                return Wake::TimedOut;
            if (fds[0].revents != 0)
                return Wake::Closed;
            if (fds[1].revents & POLLNVAL)
                return Wake::Broken;
            // POLLHUP/POLLERR are left to read(), which then reports them.
            return Wake::Data;
        }
    };

    for (;;) {
        // A chunk: wait without limit for its first byte (unless a total
        // time-out is set), then keep collecting until the line is quiet for
        // longer than the interval or the buffer is full.
        std::size_t count = 0;
        // The total limit is counted for a full chunk: the multiplier per
        // requested byte plus the constant, from the moment the read starts.
        const std::uint64_t totalMs = std::uint64_t{tuning_.readTotalMultiplier.load()} * kReadChunkSize +
            tuning_.readTotalConstant.load();
        const std::optional<Clock::time_point> deadline =
            totalMs != 0 ? std::optional(Clock::now() + std::chrono::milliseconds(totalMs)) : std::nullopt;

        for (;;) {
            int timeoutMs = -1;
            if (count > 0) {
                // Read afresh for every gap: the worker switches between 20 ms
                // idle and 1 ms during a command while the port stays open.
                const std::uint32_t interval = tuning_.readInterval.load();
                if (interval == kNoIntervalWait)
                    timeoutMs = 0;
                else if (interval != 0)
                    timeoutMs = clampMs(interval);
            }
            if (deadline) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
                if (left <= 0)
                    break;
                timeoutMs = timeoutMs < 0 ? clampMs(left) : std::min(timeoutMs, clampMs(left));
            }

            const Wake wake = wait(timeoutMs);
            if (wake == Wake::Closed)
                return;
            if (wake == Wake::Broken) {
                notifier_.hangup();
                return;
            }
            if (wake == Wake::TimedOut)
                break;

            const ssize_t got = ::read(fd_, buffer.data() + count, buffer.size() - count);
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (got <= 0) {
                // An error, or end of file on a tty that was hung up: the line
                // is gone and only a new OpenPort can bring it back.
                notifier_.hangup();
                return;
            }
            std::size_t fresh = static_cast<std::size_t>(got);
            if (tuning_.ignoreNullChar.load()) {
                auto begin = buffer.begin() + static_cast<std::ptrdiff_t>(count);
                auto end = std::remove(begin, begin + static_cast<std::ptrdiff_t>(fresh), std::uint8_t{0});
                fresh = static_cast<std::size_t>(end - begin);
            }
            // An owner that receives directly gets the read at once: no
            // waiting for the quiet gap, no copy, no trip through the
            // dispatcher.
            const bool handedOn = fresh > 0 && notifier_.receivedDirect(buffer.data() + count, fresh);
            if (!handedOn)
                count += fresh;

            if (lastCounts) {
                if (auto now = readErrorCounts(fd_)) {
                    if (const std::uint32_t mask = lineErrorMask(*lastCounts, *now); mask != 0)
                        notifier_.receiveError(mask);
                    lastCounts = now;
                }
            }
            // A read handed on directly starts the next one afresh.
            if (count == buffer.size() || (handedOn && count == 0))
                break;
        }

        // An empty completion (the total time passed without a byte) only
        // means the next read is armed.
        if (count == 0)
            continue;
        std::vector<std::uint8_t> block(count + 1);  // zero-filled: the byte after the data stays 0
        std::memcpy(block.data(), buffer.data(), count);
        notifier_.receivedData(std::move(block));
    }
}

}  // namespace pst
