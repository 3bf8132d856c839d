#include <array>
#include <cstring>

#include "transport/comm_reader.h"
#include "transport/overlapped_io.h"

namespace pst {

namespace {

// An OVERLAPPED record with the manual-reset event it completes on.
struct OverlappedRecord {
    OverlappedRecord() { record.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~OverlappedRecord()
    {
        if (record.hEvent != nullptr)
            ::CloseHandle(record.hEvent);
    }
    OverlappedRecord(const OverlappedRecord&) = delete;
    OverlappedRecord& operator=(const OverlappedRecord&) = delete;
    bool valid() const { return record.hEvent != nullptr; }

    OVERLAPPED record{};
};

// Ends without a notice: the handle went away under the thread (the port
// is being closed) or the close purged what was under way.
bool endsQuietly(DWORD error)
{
    return error == ERROR_INVALID_HANDLE || error == ERROR_OPERATION_ABORTED;
}

enum class Armed { Pending, Closed, Failed };

}  // namespace

OverlappedReader::OverlappedReader(HANDLE device, const CloseSignal& close, CommNotifier notifier,
                                   OverlappedOptions options)
    : device_(device), close_(close), notifier_(std::move(notifier)), options_(options)
{
}

OverlappedReader::~OverlappedReader()
{
    join();
}

void OverlappedReader::start()
{
    thread_ = std::thread([this] { run(); });
}

void OverlappedReader::join()
{
    if (thread_.joinable())
        thread_.join();
}

void OverlappedReader::hangup() const
{
    if (options_.reportHangup)
        notifier_.hangup();
}

void OverlappedReader::run()
{
    // Received bytes wait in the driver's queue until this thread takes
    // them; it must win against whatever else the machine is doing.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);

    OverlappedRecord readRecord;
    OverlappedRecord lineRecord;
    if (!readRecord.valid() || !lineRecord.valid())
        return hangup();
    std::array<std::uint8_t, kReadChunkSize> buffer{};
    DWORD lineMask = 0;
    bool readPending = false;
    bool linePending = false;

    const auto closed = [this] { return ::WaitForSingleObject(close_.event(), 0) == WAIT_OBJECT_0; };

    // The driver cuts chunks itself, by the port's time-outs: a read ends
    // when its buffer is full or the line has been quiet for longer than the
    // interval.
    const auto deliver = [&](DWORD count) {
        if (count == 0 || notifier_.receivedDirect(buffer.data(), count))
            return;
        std::vector<std::uint8_t> block(count + 1);  // zero-filled: the byte after the data stays 0
        std::memcpy(block.data(), buffer.data(), count);
        notifier_.receivedData(std::move(block));
    };

    const auto armRead = [&]() {
        for (;;) {
            if (closed())
                return Armed::Closed;
            DWORD got = 0;
            if (::ReadFile(device_, buffer.data(), static_cast<DWORD>(buffer.size()), &got, &readRecord.record)) {
                if (got == 0 && options_.endOnEmptyRead)
                    return Armed::Failed;
                deliver(got);
                continue;
            }
            const DWORD error = ::GetLastError();
            if (error == ERROR_IO_PENDING)
                return Armed::Pending;
            if (!endsQuietly(error))
                hangup();
            return Armed::Failed;
        }
    };

    const auto handleLineEvent = [&](DWORD mask) {
        if (mask & EV_ERR) {
            DWORD errors = 0;
            if (::ClearCommError(device_, &errors, nullptr) && errors != 0)
                notifier_.receiveError(errors);
        }
        const std::uint32_t modem = ((mask & EV_RLSD) ? 8u : 0u) | ((mask & EV_RING) ? 4u : 0u);
        if (modem != 0)
            notifier_.modemStateChange(modem);
        return (mask & (EV_ERR | EV_RLSD | EV_RING)) != 0;
    };

    // A port that cannot wait for line events (a COM port that Wine maps to
    // a pseudo-terminal has no modem lines) is still read; it only reports
    // no line errors, ring or carrier.
    const auto armLineWait = [&]() {
        for (;;) {
            if (closed())
                return false;
            lineMask = 0;
            if (::WaitCommEvent(device_, &lineMask, &lineRecord.record)) {
                if (!handleLineEvent(lineMask))
                    return false;
                continue;
            }
            return ::GetLastError() == ERROR_IO_PENDING;
        }
    };

    readPending = armRead() == Armed::Pending;
    if (readPending && options_.watchLineEvents && ::SetCommMask(device_, EV_RLSD | EV_ERR | EV_RING))
        linePending = armLineWait();

    while (readPending) {
        const HANDLE waits[3] = {close_.event(), readRecord.record.hEvent, lineRecord.record.hEvent};
        const DWORD woke = ::WaitForMultipleObjects(linePending ? 3 : 2, waits, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_OBJECT_0 + 1) {
            DWORD got = 0;
            readPending = false;
            if (!::GetOverlappedResult(device_, &readRecord.record, &got, FALSE)) {
                if (!endsQuietly(::GetLastError()))
                    hangup();
                break;
            }
            if (got == 0 && options_.endOnEmptyRead)
                break;
            deliver(got);
            readPending = armRead() == Armed::Pending;
            continue;
        }
        if (woke == WAIT_OBJECT_0 + 2) {
            DWORD unused = 0;
            linePending = false;
            if (::GetOverlappedResult(device_, &lineRecord.record, &unused, FALSE) && handleLineEvent(lineMask))
                linePending = armLineWait();
            continue;
        }
        hangup();
        break;
    }

    // Nothing may complete into this thread's records once they are gone.
    if (readPending || linePending) {
        ::CancelIo(device_);
        DWORD unused = 0;
        if (readPending)
            ::GetOverlappedResult(device_, &readRecord.record, &unused, TRUE);
        if (linePending)
            ::GetOverlappedResult(device_, &lineRecord.record, &unused, TRUE);
    }
}

}  // namespace pst
