#include "transport/comm_session_port.h"

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

// A tty: its descriptor, the reader, the modem-line watch and the writer.
struct TtyPort final : CommPortWithThreads<CommReader, CommWriter> {
    using CommPortWithThreads::CommPortWithThreads;

    void openDevice(const std::string& devicePath) override
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

    void discardDriverQueues() override
    {
        retryInterrupted([&] { return ::tcflush(fd, TCIOFLUSH); });
    }

    void startThreads() override
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

    void applyLineSettings(const CommLineSettings& lines) override
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

    void applyTimeouts(const CommTimeouts& timeouts) override
    {
        // Write deadlines have no counterpart here: every write is carried to the
        // end (see comm_line_settings.h).
        tuning.readInterval.store(timeouts.readInterval);
        tuning.readTotalMultiplier.store(timeouts.readTotalMultiplier);
        tuning.readTotalConstant.store(timeouts.readTotalConstant);
    }

    ~TtyPort() override
    {
        if (close.valid())
            close.signal();
        // The modem lines are the reader's to serve: their watch ends with it.
        if (modemWatch)
            modemWatch->stop();
        modemWatch.reset();
        stopPortThreads(reader, writer, sendQueueEmpty);

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

    int fd = -1;
    bool exclusive = false;
    ReaderTuning tuning;
    std::unique_ptr<CommModemWatch> modemWatch;
};

}  // namespace

std::unique_ptr<CommSession::Port> CommSession::Port::create(const CommNotifier& notifier,
                                                             std::atomic<bool>& sendQueueEmpty)
{
    return std::make_unique<TtyPort>(notifier, sendQueueEmpty);
}

}  // namespace pst
