#include "transport/comm_session.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "transport/comm_line_settings.h"
#include "transport/comm_modem_watch.h"
#include "transport/comm_reader.h"
#include "transport/comm_writer.h"

namespace pst {

// A tty: its descriptor, the reader, the modem-line watch and the writer.
struct CommSession::Port {
    Port(const CommNotifier& events, std::atomic<bool>& emptyFlag) : notifier(events), sendQueueEmpty(emptyFlag)
    {
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    ~Port() { shutdown(); }

    void openDevice(const std::string& devicePath);
    void startThreads();
    void shutdown();
    void applyLineSettings(const CommLineSettings& lines);
    void applyTimeouts(const CommTimeouts& timeouts);

    CommNotifier notifier;
    std::atomic<bool>& sendQueueEmpty;
    int fd = -1;
    bool exclusive = false;
    CloseSignal close;
    ReaderTuning tuning;
    std::unique_ptr<CommReader> reader;
    std::unique_ptr<CommModemWatch> modemWatch;
    std::unique_ptr<CommWriter> writer;
};

std::unique_ptr<CommSession> CommSession::open(const std::string& devicePath, const CommLineSettings& lines,
                                               const CommTimeouts& timeouts, const CommNotifier& notifier,
                                               std::atomic<bool>& sendQueueEmpty)
{
    // From here on every throw destroys the port, and its destructor undoes
    // exactly the steps that had been taken.
    auto port = std::make_unique<Port>(notifier, sendQueueEmpty);
    port->openDevice(devicePath);

    // Whatever was left in the driver's queues belongs to an earlier user.
    retryInterrupted([&] { return ::tcflush(port->fd, TCIOFLUSH); });
    sendQueueEmpty.store(true);
    port->applyTimeouts(timeouts);
    port->applyLineSettings(lines);

    if (!port->close.create())
        throw ECommsError("Unable to create event");
    port->startThreads();
    return std::unique_ptr<CommSession>(new CommSession(std::move(port)));
}

CommSession::CommSession(std::unique_ptr<Port> port) : port_(std::move(port)) { }

CommSession::~CommSession() = default;

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

void CommSession::Port::openDevice(const std::string& devicePath)
{
    fd = retryInterrupted(
        [&] { return ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0)
        throw ECommsError("Error opening serial port", openFailureDetail(devicePath, errno));
    if (!::isatty(fd))
        throw ECommsError("File handle is not a comm handle ", devicePath + ": not a serial device");

    // TIOCEXCL keeps out other users but not root, which this tool usually
    // runs as; the advisory lock is what other instances (and other
    // well-behaved serial programs) respect.
    if (retryInterrupted([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0)
        throw ECommsError("Error opening serial port", devicePath + ": in use by another program");
    if (retryInterrupted([&] { return ::ioctl(fd, TIOCEXCL); }) != 0)
        throw ECommsError("Error opening serial port", openFailureDetail(devicePath, errno));
    exclusive = true;
}

void CommSession::Port::startThreads()
{
    reader = std::make_unique<CommReader>(fd, close, tuning, notifier);
    startPortThread(*reader, "Unable to create read thread");
    // Modem lines are part of what the reader serves, so a failure to start
    // their watch is a failure to start reading.
    modemWatch = std::make_unique<CommModemWatch>(fd, notifier);
    startPortThread(*modemWatch, "Unable to create read thread");
    writer = std::make_unique<CommWriter>(fd, close, notifier, sendQueueEmpty);
    startPortThread(*writer, "Unable to create write thread");
}

void CommSession::Port::shutdown()
{
    if (close.valid())
        close.signal();
    if (reader)
        reader->join();
    if (modemWatch)
        modemWatch->stop();
    if (writer)
        writer->stop();
    reader.reset();
    modemWatch.reset();
    writer.reset();
    sendQueueEmpty.store(true);

    if (fd >= 0) {
        retryInterrupted([&] { return ::tcflush(fd, TCIOFLUSH); });
        // Lift the exclusive mode explicitly: a tty keeps it past this close
        // while the device stays in use elsewhere (the other side of a
        // pseudo-terminal, a descriptor inherited by a child process).
        if (exclusive)
            retryInterrupted([&] { return ::ioctl(fd, TIOCNXCL); });
        // close() is not retried on EINTR: on Linux the descriptor is gone
        // either way and a retry could close someone else's.
        ::close(fd);
        fd = -1;
        exclusive = false;
    }
}

void CommSession::Port::applyLineSettings(const CommLineSettings& lines)
{
    tuning.ignoreNullChar.store(lines.ignoreNullChar);

    termios current{};
    if (retryInterrupted([&] { return ::tcgetattr(fd, &current); }) == 0) {
        const termios wanted = commTermios(current, lines);
        retryInterrupted([&] { return ::tcsetattr(fd, TCSANOW, &wanted); });
    }
    // Set after the termios record because switching hardware handshake can
    // move RTS. Pseudo-terminals have no modem lines and refuse; that is fine.
    const ModemControl control = commModemControl(lines);
    if (control.raise != 0)
        retryInterrupted([&] { return ::ioctl(fd, TIOCMBIS, &control.raise); });
    if (control.lower != 0)
        retryInterrupted([&] { return ::ioctl(fd, TIOCMBIC, &control.lower); });
}

void CommSession::Port::applyTimeouts(const CommTimeouts& timeouts)
{
    // Write deadlines have no counterpart here: every write is carried to the
    // end (see comm_line_settings.h).
    tuning.readInterval.store(timeouts.readInterval);
    tuning.readTotalMultiplier.store(timeouts.readTotalMultiplier);
    tuning.readTotalConstant.store(timeouts.readTotalConstant);
}

void CommSession::applyLineSettings(const CommLineSettings& lines)
{
    port_->applyLineSettings(lines);
}

void CommSession::applyTimeouts(const CommTimeouts& timeouts)
{
    port_->applyTimeouts(timeouts);
}

bool CommSession::send(const std::uint8_t* data, std::uint16_t length)
{
    return port_->writer && port_->writer->enqueue(data, length);
}

bool CommSession::waitUntilSent(std::chrono::milliseconds limit)
{
    return !port_->writer || port_->writer->waitUntilDrained(limit);
}

}  // namespace pst
