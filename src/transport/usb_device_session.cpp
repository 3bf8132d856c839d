#include "transport/usb_device_session.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include "transport/comm_types.h"

namespace pst {

namespace {

// A chunk is what the device delivered at once: the reader takes what is
// there with the first byte and never waits for more.
constexpr std::uint32_t kTakeWhatArrived = 0xFFFFFFFFu;

// A virtual serial node would otherwise echo, translate line ends and stop
// at control characters; the printer's frames are binary.
void makeRaw(int fd, bool outputFlowControl)
{
    termios tio{};
    if (retryInterrupted([&] { return ::tcgetattr(fd, &tio); }) != 0)
        return;
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (outputFlowControl)
        tio.c_iflag |= IXON;
    retryInterrupted([&] { return ::tcsetattr(fd, TCSANOW, &tio); });
}

}  // namespace

std::unique_ptr<UsbDeviceSession> UsbDeviceSession::open(const std::string& node, bool outputFlowControl,
                                                         const CommNotifier& notifier,
                                                         std::atomic<bool>& sendQueueEmpty, int& openError)
{
    std::unique_ptr<UsbDeviceSession> session(new UsbDeviceSession(node, notifier, sendQueueEmpty));
    session->fd_ =
        retryInterrupted([&] { return ::open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (session->fd_ < 0) {
        openError = errno;
        return nullptr;
    }
    // The device is opened for one user at a time; one that another program
    // holds is passed over.
    if (retryInterrupted([&] { return ::flock(session->fd_, LOCK_EX | LOCK_NB); }) != 0) {
        openError = errno == EWOULDBLOCK ? EBUSY : errno;
        return nullptr;
    }
    session->terminal_ = ::isatty(session->fd_) == 1;
    if (session->terminal_) {
        makeRaw(session->fd_, outputFlowControl);
        // What the driver still holds belongs to an earlier user.
        retryInterrupted([&] { return ::tcflush(session->fd_, TCIOFLUSH); });
    }
    sendQueueEmpty.store(true);
    if (!session->close_.create())
        throw ECommsError("Unable to create event");
    session->startThreads();
    return session;
}

UsbDeviceSession::UsbDeviceSession(std::string node, const CommNotifier& notifier,
                                   std::atomic<bool>& sendQueueEmpty)
    : node_(std::move(node)), notifier_(notifier), sendQueueEmpty_(sendQueueEmpty)
{
    tuning_.readInterval.store(kTakeWhatArrived);
    tuning_.countLineErrors = false;
}

void UsbDeviceSession::startThreads()
{
    reader_ = std::make_unique<CommReader>(fd_, close_, tuning_, notifier_);
    startPortThread(*reader_, "Unable to create read thread");
    writer_ = std::make_unique<CommWriter>(fd_, close_, notifier_, sendQueueEmpty_);
    startPortThread(*writer_, "Unable to create write thread");
}

UsbDeviceSession::~UsbDeviceSession()
{
    if (close_.valid())
        close_.signal();
    if (reader_)
        reader_->join();
    if (writer_)
        writer_->stop();
    reader_.reset();
    writer_.reset();
    sendQueueEmpty_.store(true);
    if (fd_ >= 0) {
        if (terminal_)
            retryInterrupted([&] { return ::tcflush(fd_, TCIOFLUSH); });
        // Not retried on EINTR: the descriptor is gone either way.
        ::close(fd_);
    }
}

bool UsbDeviceSession::send(const std::uint8_t* data, std::uint16_t length)
{
    return writer_ && writer_->enqueue(data, length);
}

bool UsbDeviceSession::waitUntilSent(std::chrono::milliseconds limit)
{
    return !writer_ || writer_->waitUntilDrained(limit);
}

void UsbDeviceSession::applyOutputFlowControl(bool on)
{
    if (!terminal_)
        return;
    termios tio{};
    if (retryInterrupted([&] { return ::tcgetattr(fd_, &tio); }) != 0)
        return;
    if (on)
        tio.c_iflag |= IXON;
    else
        tio.c_iflag &= ~static_cast<tcflag_t>(IXON);
    retryInterrupted([&] { return ::tcsetattr(fd_, TCSANOW, &tio); });
}

}  // namespace pst
