#include "transport/comm_write_queue.h"

namespace pst {

CommWriteQueue::CommWriteQueue(CommNotifier notifier, std::atomic<bool>& sendQueueEmpty, bool reportHangup,
                               WriteAtOnce writeAtOnce)
    : notifier_(std::move(notifier)),
      sendQueueEmpty_(sendQueueEmpty),
      reportHangup_(reportHangup),
      writeAtOnce_(std::move(writeAtOnce))
{
}

CommWriteQueue::~CommWriteQueue()
{
    stop();
}

void CommWriteQueue::start(std::function<void()> body)
{
    thread_ = std::thread(std::move(body));
}

bool CommWriteQueue::enqueue(const std::uint8_t* data, std::uint16_t length)
{
    bool allWritten = false;
    {
        std::lock_guard lock(mutex_);
        if (ended_ || closing_)
            return false;
        // With nothing queued or being written the bytes go to the driver
        // from here, as far as it takes them without waiting: waking the
        // writer thread for every send would add a thread switch to each
        // exchange. Whatever is left (a full driver queue, an error) goes to
        // the writer thread, which waits for room or reports the failure.
        std::size_t done = 0;
        if (writeAtOnce_ && queue_.empty() && !writing_)
            done = writeAtOnce_(data, length);
        allWritten = done == length;
        if (!allWritten) {
            queue_.emplace_back(data + done, data + length);
            // Cleared under the queue lock: the writer sets it under the same
            // lock when it finds the queue empty, so the flag can never claim
            // "empty" while a request waits.
            sendQueueEmpty_.store(false);
        }
    }
    if (allWritten)
        notifier_.sendQueueEmpty();
    else
        wake_.notify_one();
    return true;
}

void CommWriteQueue::stop()
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

bool CommWriteQueue::waitUntilDrained(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return drained_.wait_for(lock, limit,
                             [this] { return ended_ || closing_ || (queue_.empty() && !writing_); });
}

void CommWriteQueue::run(const WriteBlock& writeBlock)
{
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

        const BlockWrite result = writeBlock(block);
        lock.lock();
        writing_ = false;
        lock.unlock();
        if (result == BlockWrite::Closing)
            break;
        if (result == BlockWrite::Failed) {
            fail();
            return;
        }
        announce = true;
    }
    end();
}

void CommWriteQueue::fail()
{
    // Refuse further sends before the owner hears of the failure, so that a
    // SendData made in answer to OnRequestHangup already fails.
    end();
    if (reportHangup_)
        notifier_.hangup();
}

void CommWriteQueue::end()
{
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
        queue_.clear();
        sendQueueEmpty_.store(true);
    }
    drained_.notify_all();
}

}  // namespace pst
