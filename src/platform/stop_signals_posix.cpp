#include "platform/stop_signals.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace pst {

namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

// What the handler may touch: a lock-free atomic and a descriptor. The
// watcher thread does the rest, outside the handler.
std::atomic<int> firstSignal{0};
std::atomic<int> wakeWrite{-1};
static_assert(std::atomic<int>::is_always_lock_free);

// Zero on the pipe asks the watcher to end.
constexpr unsigned char kEndWatch = 0;

extern "C" void onStopSignal(int number)
{
    int expected = 0;
    if (!firstSignal.compare_exchange_strong(expected, number))
        ::_exit(128 + number);
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite.load(), &byte, 1);
    errno = savedErrno;
}

StopSignal stopSignalOf(int number)
{
    return number == SIGINT ? StopSignal::Interrupt
        : number == SIGTERM ? StopSignal::Terminate
                            : StopSignal::HangUp;
}

}  // namespace

struct StopSignals::Backend {
    std::array<int, 2> pipe{-1, -1};
    std::array<struct sigaction, kSignals.size()> previous{};
    std::thread watcher;
};

StopSignals::StopSignals(std::function<void(StopSignal)> stop) : backend_(std::make_unique<Backend>())
{
    Backend& b = *backend_;
    if (::pipe(b.pipe.data()) != 0)
        throw std::runtime_error("no pipe for the stop signals");
    for (const int end : b.pipe)
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    firstSignal = 0;
    wakeWrite = b.pipe[1];
    b.watcher = std::thread([readEnd = b.pipe[0], stop = std::move(stop)] {
        while (true) {
            unsigned char byte = kEndWatch;
            const ssize_t got = ::read(readEnd, &byte, 1);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0 || byte == kEndWatch)
                return;
            stop(stopSignalOf(byte));
        }
    });
    struct sigaction action { };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // The worker's reads and writes go on; the link's waits handle EINTR.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &b.previous[i]);
}

StopSignals::~StopSignals()
{
    Backend& b = *backend_;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &b.previous[i], nullptr);
    const unsigned char end = kEndWatch;
    while (::write(b.pipe[1], &end, 1) < 0 && errno == EINTR) { }
    b.watcher.join();
    wakeWrite = -1;
    ::close(b.pipe[0]);
    ::close(b.pipe[1]);
}

}  // namespace pst
