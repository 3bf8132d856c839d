#include "transport/overlapped_io.h"

namespace pst {

OverlappedWriter::OverlappedWriter(HANDLE device, const CloseSignal& close, CommNotifier notifier,
                                   std::atomic<bool>& sendQueueEmpty, OverlappedOptions options)
    : device_(device), close_(close), notifier_(std::move(notifier)), sendQueueEmpty_(sendQueueEmpty),
      options_(options)
{
}

OverlappedWriter::~OverlappedWriter()
{
    stop();
}

void OverlappedWriter::start()
{
    thread_ = std::thread([this] { run(); });
}

bool OverlappedWriter::enqueue(const std::uint8_t* data, std::uint16_t length)
{
    {
        std::lock_guard lock(mutex_);
        if (ended_ || closing_)
            return false;
        queue_.emplace_back(data, data + length);
        // Cleared under the queue lock: the writer sets it under the same
        // lock when it finds the queue empty, so the flag can never claim
        // "empty" while a request waits.
        sendQueueEmpty_.store(false);
    }
    wake_.notify_one();
    return true;
}

void OverlappedWriter::stop()
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
    sendQueueEmpty_.store(true);
    drained_.notify_all();
}

bool OverlappedWriter::waitUntilDrained(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return drained_.wait_for(lock, limit,
                             [this] { return ended_ || closing_ || (queue_.empty() && !writing_); });
}

void OverlappedWriter::run()
{
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    OVERLAPPED record{};
    record.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (record.hEvent == nullptr) {
        end();
        if (options_.reportHangup)
            notifier_.hangup();
        return;
    }

    // Set while writes happened since the last "queue ran empty" event; starts
    // set so that the owner hears once, right after opening, that it may send.
    bool announce = true;
    for (;;) {
        std::unique_lock lock(mutex_);
        if (closing_)
            break;
        if (queue_.empty()) {
            sendQueueEmpty_.store(true);
            drained_.notify_all();
            if (announce) {
                announce = false;
                lock.unlock();
                notifier_.sendQueueEmpty();
                continue;
            }
            wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            continue;
        }
        std::vector<std::uint8_t> block = std::move(queue_.front());
        queue_.pop_front();
        writing_ = true;
        lock.unlock();

        const WriteResult result = writeAll(block, record);
        lock.lock();
        writing_ = false;
        lock.unlock();
        if (result == WriteResult::Closing)
            break;
        if (result == WriteResult::Failed) {
            // Refuse further sends before the owner hears of the failure, so
            // that a SendData made in answer to OnRequestHangup already fails.
            end();
            if (options_.reportHangup)
                notifier_.hangup();
            ::CloseHandle(record.hEvent);
            return;
        }
        announce = true;
    }
    end();
    ::CloseHandle(record.hEvent);
}

void OverlappedWriter::end()
{
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
        queue_.clear();
        sendQueueEmpty_.store(true);
    }
    drained_.notify_all();
}

OverlappedWriter::WriteResult OverlappedWriter::writeAll(const std::vector<std::uint8_t>& block, OVERLAPPED& record)
{
    std::size_t offset = 0;
    // A driver with write time-outs may take part of a block; the rest is
    // written again until all of it is gone.
    while (offset < block.size()) {
        DWORD written = 0;
        const DWORD length = static_cast<DWORD>(block.size() - offset);
        if (!::WriteFile(device_, block.data() + offset, length, &written, &record)) {
            if (::GetLastError() != ERROR_IO_PENDING)
                return WriteResult::Failed;
            const HANDLE waits[2] = {close_.event(), record.hEvent};
            const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
            if (woke == WAIT_OBJECT_0) {
                // The rest of the block is dropped by design; the record
                // must be free before the block goes away.
                ::CancelIo(device_);
                ::GetOverlappedResult(device_, &record, &written, TRUE);
                return WriteResult::Closing;
            }
            if (woke != WAIT_OBJECT_0 + 1 || !::GetOverlappedResult(device_, &record, &written, FALSE))
                return WriteResult::Failed;
        }
        offset += written;
    }
    return WriteResult::Done;
}

}  // namespace pst
