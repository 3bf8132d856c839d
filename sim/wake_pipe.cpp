#include "wake_pipe.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/timerfd.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace pst::sim {

WakePipe::WakePipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error(std::string("cannot create wake-up pipe: ") + std::strerror(errno));
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    timerFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (timerFd_ < 0) {
        const int error = errno;
        ::close(readFd_);
        ::close(writeFd_);
        throw std::runtime_error(std::string("cannot create a timer: ") + std::strerror(error));
    }
}

WakePipe::~WakePipe()
{
    ::close(timerFd_);
    ::close(readFd_);
    ::close(writeFd_);
}

void WakePipe::raise() const noexcept
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already means "raised", so a failed write loses nothing.
    [[maybe_unused]] const ssize_t ignored = ::write(writeFd_, &byte, 1);
    errno = savedErrno;
}

bool WakePipe::waitFor(std::chrono::steady_clock::duration duration) const
{
    return waitUntil(std::chrono::steady_clock::now() + duration);
}

bool WakePipe::waitUntil(std::chrono::steady_clock::time_point deadline) const
{
    using namespace std::chrono;
    // steady_clock is CLOCK_MONOTONIC on Linux, so its time points serve as
    // the timer's absolute expiry.
    const auto at = duration_cast<nanoseconds>(deadline.time_since_epoch()).count();
    itimerspec expiry{};
    expiry.it_value = {static_cast<time_t>(at / 1'000'000'000), static_cast<long>(at % 1'000'000'000)};
    if (at <= 0)
        expiry.it_value = {0, 1};  // a zero value would disarm the timer instead
    if (::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &expiry, nullptr) != 0)
        return false;
    while (true) {
        pollfd fds[2] = {{readFd_, POLLIN, 0}, {timerFd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return false;
        if (fds[0].revents != 0)
            return true;
        std::uint64_t expirations = 0;
        [[maybe_unused]] const ssize_t n = ::read(timerFd_, &expirations, sizeof expirations);
        return false;
    }
}

}  // namespace pst::sim
