#include "transport/overlapped_io.h"

namespace pst {

OverlappedWriter::OverlappedWriter(HANDLE device, const CloseSignal& close, CommNotifier notifier,
                                   std::atomic<bool>& sendQueueEmpty, OverlappedOptions options)
    : CommWriteQueue(std::move(notifier), sendQueueEmpty, options.reportHangup),
      device_(device),
      close_(close)
{
}

OverlappedWriter::~OverlappedWriter()
{
    stop();
}

void OverlappedWriter::start()
{
    CommWriteQueue::start([this] { run(); });
}

void OverlappedWriter::run()
{
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    OVERLAPPED record{};
    record.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (record.hEvent == nullptr) {
        fail();
        return;
    }
    CommWriteQueue::run([&](const std::vector<std::uint8_t>& block) { return writeAll(block, record); });
    ::CloseHandle(record.hEvent);
}

BlockWrite OverlappedWriter::writeAll(const std::vector<std::uint8_t>& block, OVERLAPPED& record)
{
    std::size_t offset = 0;
    // A driver with write time-outs may take part of a block; the rest is
    // written again until all of it is gone.
    while (offset < block.size()) {
        DWORD written = 0;
        const DWORD length = static_cast<DWORD>(block.size() - offset);
        if (!::WriteFile(device_, block.data() + offset, length, &written, &record)) {
            if (::GetLastError() != ERROR_IO_PENDING)
                return BlockWrite::Failed;
            const HANDLE waits[2] = {close_.event(), record.hEvent};
            const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
            if (woke == WAIT_OBJECT_0) {
                // The rest of the block is dropped by design; the record
                // must be free before the block goes away.
                ::CancelIo(device_);
                ::GetOverlappedResult(device_, &record, &written, TRUE);
                return BlockWrite::Closing;
            }
            if (woke != WAIT_OBJECT_0 + 1 || !::GetOverlappedResult(device_, &record, &written, FALSE))
                return BlockWrite::Failed;
        }
        offset += written;
    }
    return BlockWrite::Done;
}

}  // namespace pst
