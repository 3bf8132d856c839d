#include "transport/comm_session_port.h"

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

// A COM port opened for overlapped I/O, with its reader and writer.
struct OverlappedPort final : CommPortWithThreads<OverlappedReader, OverlappedWriter> {
    using CommPortWithThreads::CommPortWithThreads;

    void openDevice(const std::string& devicePath) override
    {
        // Share mode 0: nobody else may hold the port while this does.
        device =
            ::CreateFileW(std::filesystem::path(devicePath).wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                          0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
        if (device == INVALID_HANDLE_VALUE)
            throw ECommsError("Error opening serial port", openFailureDetail(devicePath, ::GetLastError()));
        if (::GetFileType(device) != FILE_TYPE_CHAR)
            throw ECommsError("File handle is not a comm handle ", devicePath + ": not a serial device");
        if (!::SetupComm(device, kQueueBytes, kQueueBytes))
            throw ECommsError("Cannot setup comm buffer",
                              devicePath + ": " + windowsErrorText(::GetLastError()));
    }

    void discardDriverQueues() override { ::PurgeComm(device, kPurgeAll); }

    void startThreads() override
    {
        const OverlappedOptions options{.watchLineEvents = true, .reportHangup = true};
        reader = std::make_unique<OverlappedReader>(device, close, notifier, options);
        startPortThread(*reader, "Unable to create read thread");
        writer = std::make_unique<OverlappedWriter>(device, close, notifier, sendQueueEmpty, options);
        startPortThread(*writer, "Unable to create write thread");
    }

    void applyLineSettings(const CommLineSettings& lines) override
    {
        DCB current{};
        current.DCBlength = sizeof current;
        if (!::GetCommState(device, &current))
            return;
        DCB wanted = commDcb(current, lines);
        ::SetCommState(device, &wanted);
    }

    void applyTimeouts(const CommTimeouts& timeouts) override
    {
        COMMTIMEOUTS wanted = commTimeouts(timeouts);
        ::SetCommTimeouts(device, &wanted);
    }

    ~OverlappedPort() override
    {
        // The close event first, then the purge: it completes the outstanding
        // read and write, and the threads find the event set.
        if (close.valid())
            close.signal();
        if (device != INVALID_HANDLE_VALUE)
            ::PurgeComm(device, kPurgeAll);
        stopPortThreads(reader, writer, sendQueueEmpty);
        if (device != INVALID_HANDLE_VALUE) {
            ::CloseHandle(device);
            device = INVALID_HANDLE_VALUE;
        }
    }

    HANDLE device = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<CommSession::Port> CommSession::Port::create(const CommNotifier& notifier,
                                                             std::atomic<bool>& sendQueueEmpty)
{
    return std::make_unique<OverlappedPort>(notifier, sendQueueEmpty);
}

}  // namespace pst
