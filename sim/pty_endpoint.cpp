#include "pty_endpoint.h"

#include "termios_speed.h"
#include "wake_pipe.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace pst::sim {
namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PtyEndpoint::PtyEndpoint(unsigned initialSpeed)
{
    try {
        openMaster();
        holdSlave(initialSpeed);
    } catch (...) {
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
        throw;
    }
}

PtyEndpoint::~PtyEndpoint()
{
    ::close(slave_);
    ::close(master_);
}

void PtyEndpoint::openMaster()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        fail("cannot open a pseudo-terminal");
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    if (::grantpt(master_) != 0)
        fail("cannot grant the pseudo-terminal");
    if (::unlockpt(master_) != 0)
        fail("cannot unlock the pseudo-terminal");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0)
        fail("cannot name the pseudo-terminal");
    slavePath_ = name;
    // A host that stops reading must not be able to wedge the printer's thread.
    if (::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
        fail("cannot make the pseudo-terminal non-blocking");
    }
}

void PtyEndpoint::holdSlave(unsigned initialSpeed)
{
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0)
        fail("cannot open " + slavePath_);
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0)
        fail("cannot read settings of " + slavePath_);
    // Raw from the start, so nothing the host sends is echoed back before it
    // has configured the port itself.
    ::cfmakeraw(&tio);
    const speed_t speed = speedTFromBaud(initialSpeed).value_or(B9600);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0)
        fail("cannot configure " + slavePath_);
}

std::size_t PtyEndpoint::readAvailable(std::span<std::uint8_t> into)
{
    const ssize_t n = ::read(master_, into.data(), into.size());
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
            return 0;
        }
        fail("cannot read from " + slavePath_);
    }
    // The host claims its port exclusively when it opens it. Because this
    // endpoint keeps the slave open, the claim would outlive the host's close
    // and lock it out of its next open (root is exempt, ordinary users are
    // not). The host only writes once its open is done, so this is a safe
    // moment to release it.
    ::ioctl(slave_, TIOCNXCL);
    return static_cast<std::size_t>(n);
}

std::optional<unsigned> PtyEndpoint::hostSpeed() const
{
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) {
        return 0u;
    }
    return baudFromSpeedT(::cfgetospeed(&tio));
}

bool PtyEndpoint::writeAll(std::span<const std::uint8_t> bytes, const WakePipe& stop)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            fail("cannot write to " + slavePath_);
        }
        pollfd fds[2] = {{master_, POLLOUT, 0}, {stop.fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            fail("cannot wait for " + slavePath_);
        }
        if (fds[1].revents != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace pst::sim
