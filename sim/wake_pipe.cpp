#include "wake_pipe.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace pst::sim {
namespace {

void setFlags(int fd)
{
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

WakePipe::WakePipe()
{
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error(std::string("cannot create wake-up pipe: ") + std::strerror(errno));
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    setFlags(readFd_);
    setFlags(writeFd_);
}

WakePipe::~WakePipe()
{
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
    while (true) {
        const auto left = deadline - steady_clock::now();
        // Nanosecond time-outs: pacing waits of a fraction of a millisecond
        // must not be rounded up to whole milliseconds.
        const auto ns =
            left <= steady_clock::duration::zero() ? nanoseconds::zero() : duration_cast<nanoseconds>(left);
        const timespec timeout{static_cast<time_t>(ns.count() / 1'000'000'000),
                               static_cast<long>(ns.count() % 1'000'000'000)};
        pollfd pfd{readFd_, POLLIN, 0};
        const int ready = ::ppoll(&pfd, 1, &timeout, nullptr);
        if (ready > 0) {
            return true;
        }
        if (ready == 0 && steady_clock::now() >= deadline) {
            return false;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

}  // namespace pst::sim
