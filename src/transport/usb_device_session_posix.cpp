#include "transport/usb_device_session.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include "transport/comm_reader.h"
#include "transport/comm_types.h"
#include "transport/comm_writer.h"

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

// A kernel node (a printer node or a virtual serial node) with the serial
// component's reader and writer.
struct UsbDeviceSession::Port {
    Port(const CommNotifier& events, std::atomic<bool>& emptyFlag) : notifier(events), sendQueueEmpty(emptyFlag)
    {
        tuning.readInterval.store(kTakeWhatArrived);
        tuning.countLineErrors = false;
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    ~Port();

    void startThreads();

    CommNotifier notifier;
    std::atomic<bool>& sendQueueEmpty;
    int fd = -1;
    bool terminal = false;
    CloseSignal close;
    ReaderTuning tuning;
    std::unique_ptr<CommReader> reader;
    std::unique_ptr<CommWriter> writer;
};

std::unique_ptr<UsbDeviceSession> UsbDeviceSession::open(const std::string& node, bool outputFlowControl,
                                                         const CommNotifier& notifier,
                                                         std::atomic<bool>& sendQueueEmpty, int& openError)
{
    auto port = std::make_unique<Port>(notifier, sendQueueEmpty);
    port->fd = retryInterrupted([&] { return ::open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (port->fd < 0) {
        openError = errno;
        return nullptr;
    }
    // The device is opened for one user at a time; one that another program
    // holds is passed over.
    if (retryInterrupted([&] { return ::flock(port->fd, LOCK_EX | LOCK_NB); }) != 0) {
        openError = errno == EWOULDBLOCK ? EBUSY : errno;
        return nullptr;
    }
    port->terminal = ::isatty(port->fd) == 1;
    if (port->terminal) {
        makeRaw(port->fd, outputFlowControl);
        // What the driver still holds belongs to an earlier user.
        retryInterrupted([&] { return ::tcflush(port->fd, TCIOFLUSH); });
    }
    sendQueueEmpty.store(true);
    if (!port->close.create())
        throw ECommsError("Unable to create event");
    port->startThreads();
    return std::unique_ptr<UsbDeviceSession>(new UsbDeviceSession(node, std::move(port)));
}

UsbDeviceSession::UsbDeviceSession(std::string node, std::unique_ptr<Port> port)
    : node_(std::move(node)), port_(std::move(port))
{
}

void UsbDeviceSession::Port::startThreads()
{
    reader = std::make_unique<CommReader>(fd, close, tuning, notifier);
    startPortThread(*reader, "Unable to create read thread");
    writer = std::make_unique<CommWriter>(fd, close, notifier, sendQueueEmpty);
    startPortThread(*writer, "Unable to create write thread");
}

UsbDeviceSession::~UsbDeviceSession() = default;

UsbDeviceSession::Port::~Port()
{
    if (close.valid())
        close.signal();
    stopPortThreads(reader, writer, sendQueueEmpty);
    if (fd >= 0) {
        if (terminal)
            retryInterrupted([&] { return ::tcflush(fd, TCIOFLUSH); });
        // Not retried on EINTR: the descriptor is gone either way.
        ::close(fd);
    }
}

bool UsbDeviceSession::send(const std::uint8_t* data, std::uint16_t length)
{
    return port_->writer && port_->writer->enqueue(data, length);
}

bool UsbDeviceSession::waitUntilSent(std::chrono::milliseconds limit)
{
    return !port_->writer || port_->writer->waitUntilDrained(limit);
}

void UsbDeviceSession::applyOutputFlowControl(bool on)
{
    if (!port_->terminal)
        return;
    termios tio{};
    if (retryInterrupted([&] { return ::tcgetattr(port_->fd, &tio); }) != 0)
        return;
    if (on)
        tio.c_iflag |= IXON;
    else
        tio.c_iflag &= ~static_cast<tcflag_t>(IXON);
    retryInterrupted([&] { return ::tcsetattr(port_->fd, TCSANOW, &tio); });
}

}  // namespace pst
