#include "transport/usb_device_session.h"

#include <cerrno>

#include <windows.h>

#include "transport/overlapped_io.h"

namespace pst {

namespace {

std::wstring widen(const std::string& utf8)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), length);
    return out;
}

// The failure reasons are told in the system's error numbers, as on Linux.
int errorNumberOf(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return EBUSY;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEVICE_NOT_CONNECTED:
        return ENOENT;
    default:
        return EIO;
    }
}

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// A USB device has no line events, and its threads end without a hang-up
// notice: the owner notices a device gone by its own time-outs.
constexpr OverlappedOptions kUsbThreads{.watchLineEvents = false, .reportHangup = false, .endOnEmptyRead = true};

}  // namespace

// The device interface opened for overlapped I/O, with the reader and the
// writer the COM port has.
struct UsbDeviceSession::Port {
    Port(const CommNotifier& events, std::atomic<bool>& emptyFlag) : notifier(events), sendQueueEmpty(emptyFlag) { }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    ~Port();

    CommNotifier notifier;
    std::atomic<bool>& sendQueueEmpty;
    HANDLE device = INVALID_HANDLE_VALUE;
    CloseSignal close;
    std::unique_ptr<OverlappedReader> reader;
    std::unique_ptr<OverlappedWriter> writer;
};

std::unique_ptr<UsbDeviceSession> UsbDeviceSession::open(const std::string& node, bool /*outputFlowControl*/,
                                                         const CommNotifier& notifier,
                                                         std::atomic<bool>& sendQueueEmpty, int& openError)
{
    auto port = std::make_unique<Port>(notifier, sendQueueEmpty);
    // Share mode 0: a device another program holds is passed over.
    port->device = ::CreateFileW(widen(node).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (port->device == INVALID_HANDLE_VALUE) {
        openError = errorNumberOf(::GetLastError());
        return nullptr;
    }
    // A device that is no comm device refuses; that is fine.
    ::PurgeComm(port->device, kPurgeAll);
    sendQueueEmpty.store(true);
    if (!port->close.create())
        throw ECommsError("Unable to create event");
    port->reader = std::make_unique<OverlappedReader>(port->device, port->close, notifier, kUsbThreads);
    startPortThread(*port->reader, "Unable to create read thread");
    port->writer =
        std::make_unique<OverlappedWriter>(port->device, port->close, notifier, sendQueueEmpty, kUsbThreads);
    startPortThread(*port->writer, "Unable to create write thread");
    return std::unique_ptr<UsbDeviceSession>(new UsbDeviceSession(node, std::move(port)));
}

UsbDeviceSession::UsbDeviceSession(std::string node, std::unique_ptr<Port> port)
    : node_(std::move(node)), port_(std::move(port))
{
}

UsbDeviceSession::~UsbDeviceSession() = default;

UsbDeviceSession::Port::~Port()
{
    if (close.valid())
        close.signal();
    // Cancels what the device still has under way, so the threads see the
    // close at once.
    if (device != INVALID_HANDLE_VALUE)
        ::CancelIoEx(device, nullptr);
    stopPortThreads(reader, writer, sendQueueEmpty);
    if (device != INVALID_HANDLE_VALUE)
        ::CloseHandle(device);
}

bool UsbDeviceSession::send(const std::uint8_t* data, std::uint16_t length)
{
    return port_->writer && port_->writer->enqueue(data, length);
}

bool UsbDeviceSession::waitUntilSent(std::chrono::milliseconds limit)
{
    return !port_->writer || port_->writer->waitUntilDrained(limit);
}

// XON/XOFF belongs to a virtual serial node; a USB device interface has no
// line settings to take it.
void UsbDeviceSession::applyOutputFlowControl(bool /*on*/) { }

}  // namespace pst
