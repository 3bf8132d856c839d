#include "transport/comm_session.h"

#include <filesystem>

#include <windows.h>

#include "platform/windows_error.h"
#include "transport/comm_dcb.h"
#include "transport/overlapped_io.h"

namespace pst {

namespace {

// Driver queue sizes, each way.
constexpr DWORD kQueueBytes = 4096;

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

std::string openFailureDetail(const std::string& devicePath, DWORD error)
{
    std::string detail = devicePath + ": " + windowsErrorText(error);
    // A COM port is opened exclusively, so a port held elsewhere is refused
    // as if access were denied.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        detail += " (in use by another program)";
    return detail;
}

}  // namespace

// A COM port opened for overlapped I/O, with its reader and writer.
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
    HANDLE device = INVALID_HANDLE_VALUE;
    CloseSignal close;
    std::unique_ptr<OverlappedReader> reader;
    std::unique_ptr<OverlappedWriter> writer;
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
    ::PurgeComm(port->device, kPurgeAll);
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

void CommSession::Port::openDevice(const std::string& devicePath)
{
    // Share mode 0: nobody else may hold the port while this does.
    device = ::CreateFileW(std::filesystem::path(devicePath).wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        throw ECommsError("Error opening serial port", openFailureDetail(devicePath, ::GetLastError()));
    if (::GetFileType(device) != FILE_TYPE_CHAR)
        throw ECommsError("File handle is not a comm handle ", devicePath + ": not a serial device");
    if (!::SetupComm(device, kQueueBytes, kQueueBytes))
        throw ECommsError("Cannot setup comm buffer", devicePath + ": " + windowsErrorText(::GetLastError()));
}

void CommSession::Port::startThreads()
{
    const OverlappedOptions options{.watchLineEvents = true, .reportHangup = true};
    reader = std::make_unique<OverlappedReader>(device, close, notifier, options);
    startPortThread(*reader, "Unable to create read thread");
    writer = std::make_unique<OverlappedWriter>(device, close, notifier, sendQueueEmpty, options);
    startPortThread(*writer, "Unable to create write thread");
}

void CommSession::Port::shutdown()
{
    // The close event first, then the purge: it completes the outstanding
    // read and write, and the threads find the event set.
    if (close.valid())
        close.signal();
    if (device != INVALID_HANDLE_VALUE)
        ::PurgeComm(device, kPurgeAll);
    if (reader)
        reader->join();
    if (writer)
        writer->stop();
    reader.reset();
    writer.reset();
    sendQueueEmpty.store(true);
    if (device != INVALID_HANDLE_VALUE) {
        ::CloseHandle(device);
        device = INVALID_HANDLE_VALUE;
    }
}

void CommSession::Port::applyLineSettings(const CommLineSettings& lines)
{
    DCB current{};
    current.DCBlength = sizeof current;
    if (!::GetCommState(device, &current))
        return;
    DCB wanted = commDcb(current, lines);
    ::SetCommState(device, &wanted);
}

void CommSession::Port::applyTimeouts(const CommTimeouts& timeouts)
{
    COMMTIMEOUTS wanted = commTimeouts(timeouts);
    ::SetCommTimeouts(device, &wanted);
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
