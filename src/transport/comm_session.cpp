#include "transport/comm_session.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "transport/comm_line_settings.h"

namespace pst {

CloseSignal::~CloseSignal()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool CloseSignal::create()
{
    fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fd_ >= 0;
}

void CloseSignal::signal() const
{
    const std::uint64_t one = 1;
    retryInterrupted([&] { return static_cast<int>(::write(fd_, &one, sizeof one)); });
}

std::unique_ptr<CommSession> CommSession::open(const std::string& devicePath, const CommLineSettings& lines,
                                               const CommTimeouts& timeouts, const CommNotifier& notifier,
                                               std::atomic<bool>& sendQueueEmpty)
{
    // From here on every throw destroys the session, and its destructor
    // undoes exactly the steps that had been taken.
    std::unique_ptr<CommSession> session(new CommSession(notifier, sendQueueEmpty));
    session->openDevice(devicePath);

    // Whatever was left in the driver's queues belongs to an earlier user.
    retryInterrupted([&] { return ::tcflush(session->fd_, TCIOFLUSH); });
    sendQueueEmpty.store(true);
    session->applyTimeouts(timeouts);
    session->applyLineSettings(lines);

    if (!session->close_.create())
        throw ECommsError("Unable to create event");
    session->startThreads();
    return session;
}

CommSession::CommSession(const CommNotifier& notifier, std::atomic<bool>& sendQueueEmpty)
    : notifier_(notifier), sendQueueEmpty_(sendQueueEmpty)
{
}

CommSession::~CommSession()
{
    shutdown();
}

namespace {

std::string openFailureDetail(const std::string& devicePath, int error)
{
    std::string detail = devicePath + ": " + std::strerror(error);
    if (error == EACCES || error == EPERM)
        detail += " (the user needs to be in the dialout group)";
    else if (error == EBUSY)
        detail += " (in use by another program)";
    return detail;
}

}  // namespace

void CommSession::openDevice(const std::string& devicePath)
{
    fd_ = retryInterrupted(
        [&] { return ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd_ < 0)
        throw ECommsError("Error opening serial port", openFailureDetail(devicePath, errno));
    if (!::isatty(fd_))
        throw ECommsError("File handle is not a comm handle ", devicePath + ": not a serial device");

    // TIOCEXCL keeps out other users but not root, which this tool usually
    // runs as; the advisory lock is what other instances (and other
    // well-behaved serial programs) respect.
    if (retryInterrupted([&] { return ::flock(fd_, LOCK_EX | LOCK_NB); }) != 0)
        throw ECommsError("Error opening serial port", devicePath + ": in use by another program");
    if (retryInterrupted([&] { return ::ioctl(fd_, TIOCEXCL); }) != 0)
        throw ECommsError("Error opening serial port", openFailureDetail(devicePath, errno));
    exclusive_ = true;
}

void CommSession::startThreads()
{
    reader_ = std::make_unique<CommReader>(fd_, close_, tuning_, notifier_);
    startPortThread(*reader_, "Unable to create read thread");
    // Modem lines are part of what the reader serves, so a failure to start
    // their watch is a failure to start reading.
    modemWatch_ = std::make_unique<CommModemWatch>(fd_, notifier_);
    startPortThread(*modemWatch_, "Unable to create read thread");
    writer_ = std::make_unique<CommWriter>(fd_, close_, notifier_, sendQueueEmpty_);
    startPortThread(*writer_, "Unable to create write thread");
}

void CommSession::shutdown()
{
    if (close_.valid())
        close_.signal();
    if (reader_)
        reader_->join();
    if (modemWatch_)
        modemWatch_->stop();
    if (writer_)
        writer_->stop();
    reader_.reset();
    modemWatch_.reset();
    writer_.reset();
    sendQueueEmpty_.store(true);

    if (fd_ >= 0) {
        retryInterrupted([&] { return ::tcflush(fd_, TCIOFLUSH); });
        // Lift the exclusive mode explicitly: a tty keeps it past this close
        // while the device stays in use elsewhere (the other side of a
        // pseudo-terminal, a descriptor inherited by a child process).
        if (exclusive_)
            retryInterrupted([&] { return ::ioctl(fd_, TIOCNXCL); });
        // close() is not retried on EINTR: on Linux the descriptor is gone
        // either way and a retry could close someone else's.
        ::close(fd_);
        fd_ = -1;
        exclusive_ = false;
    }
}

void CommSession::applyLineSettings(const CommLineSettings& lines)
{
    tuning_.ignoreNullChar.store(lines.ignoreNullChar);

    termios current{};
    if (retryInterrupted([&] { return ::tcgetattr(fd_, &current); }) == 0) {
        const termios wanted = commTermios(current, lines);
        retryInterrupted([&] { return ::tcsetattr(fd_, TCSANOW, &wanted); });
    }
    // Set after the termios record because switching hardware handshake can
    // move RTS. Pseudo-terminals have no modem lines and refuse; that is fine.
    const ModemControl control = commModemControl(lines);
    if (control.raise != 0)
        retryInterrupted([&] { return ::ioctl(fd_, TIOCMBIS, &control.raise); });
    if (control.lower != 0)
        retryInterrupted([&] { return ::ioctl(fd_, TIOCMBIC, &control.lower); });
}

void CommSession::applyTimeouts(const CommTimeouts& timeouts)
{
    // Write deadlines have no counterpart here: every write is carried to the
    // end (see comm_line_settings.h).
    tuning_.readInterval.store(timeouts.readInterval);
    tuning_.readTotalMultiplier.store(timeouts.readTotalMultiplier);
    tuning_.readTotalConstant.store(timeouts.readTotalConstant);
}

bool CommSession::send(const std::uint8_t* data, std::uint16_t length)
{
    return writer_ && writer_->enqueue(data, length);
}

bool CommSession::waitUntilSent(std::chrono::milliseconds limit)
{
    return !writer_ || writer_->waitUntilDrained(limit);
}

}  // namespace pst
