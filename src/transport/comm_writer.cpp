#include "transport/comm_writer.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace pst {

CommWriter::CommWriter(int fd, const CloseSignal& close, CommNotifier notifier,
                       std::atomic<bool>& sendQueueEmpty)
    : fd_(fd), close_(close), notifier_(std::move(notifier)), sendQueueEmpty_(sendQueueEmpty)
{
}

CommWriter::~CommWriter()
{
    stop();
}

void CommWriter::start()
{
    thread_ = std::thread([this] { run(); });
}

bool CommWriter::enqueue(const std::uint8_t* data, std::uint16_t length)
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
        int error = 0;
        if (queue_.empty() && !writing_)
            done = writeWithoutWaiting(data, length, error);
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

std::size_t CommWriter::writeWithoutWaiting(const std::uint8_t* data, std::size_t length, int& error)
{
    std::size_t done = 0;
    error = 0;
    while (done < length) {
        const ssize_t written = ::write(fd_, data + done, length - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            // Nothing taken without an error counts as a full queue too.
            error = written < 0 ? errno : EAGAIN;
            break;
        }
    }
    return done;
}

void CommWriter::stop()
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

void CommWriter::run()
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

        const WriteResult result = writeAll(block);
        lock.lock();
        writing_ = false;
        lock.unlock();
        if (result == WriteResult::Closing)
            break;
        if (result == WriteResult::Failed) {
            // Refuse further sends before the owner hears of the failure, so
            // that a SendData made in answer to OnRequestHangup already fails.
            end();
            notifier_.hangup();
            return;
        }
        announce = true;
    }
    end();
}

void CommWriter::end()
{
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
        queue_.clear();
        sendQueueEmpty_.store(true);
    }
    drained_.notify_all();
}

bool CommWriter::waitUntilDrained(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return drained_.wait_for(lock, limit,
                             [this] { return ended_ || closing_ || (queue_.empty() && !writing_); });
}

CommWriter::WriteResult CommWriter::writeAll(const std::vector<std::uint8_t>& block)
{
    std::size_t offset = 0;
    for (;;) {
        int error = 0;
        offset += writeWithoutWaiting(block.data() + offset, block.size() - offset, error);
        if (offset == block.size())
            return WriteResult::Done;
        if (error != EAGAIN)
            return WriteResult::Failed;

        // The driver's queue is full: sleep until it takes more or the port
        // is being closed.
        for (;;) {
            pollfd fds[2] = {{close_.fd(), POLLIN, 0}, {fd_, POLLOUT, 0}};
            const int ready = ::poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return WriteResult::Failed;
            if (fds[0].revents != 0)
                return WriteResult::Closing;  // the rest of the block is dropped by design
            // Hung up or broken without room to write: waiting again would
            // spin, so the line counts as lost.
            if ((fds[1].revents & POLLOUT) == 0)
                return WriteResult::Failed;
            break;
        }
    }
}

}  // namespace pst
