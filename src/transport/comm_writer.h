#pragma once
// The writer thread of an open port. Internal to the transport library.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "transport/comm_channel.h"

namespace pst {

class CommWriter {
public:
    CommWriter(int fd, const CloseSignal& close, CommNotifier notifier, std::atomic<bool>& sendQueueEmpty);
    CommWriter(const CommWriter&) = delete;
    CommWriter& operator=(const CommWriter&) = delete;
    ~CommWriter();

    // Throws std::system_error when the thread cannot be created.
    void start();
    // Queues a copy of the bytes. False once the writer has ended (a failed
    // write or a close), in which case nothing is queued.
    bool enqueue(const std::uint8_t* data, std::uint16_t length);
    // Ends the thread without writing what is still queued.
    void stop();
    // Waits until everything queued has been handed to the driver (or the
    // writer has ended), at most `limit`; true when it has.
    bool waitUntilDrained(std::chrono::milliseconds limit);

private:
    enum class WriteResult { Done, Closing, Failed };

    void run();
    WriteResult writeAll(const std::vector<std::uint8_t>& block);
    // Writes what the driver takes at once; returns how many bytes it took.
    // `error` tells why it stopped short (EAGAIN: the driver's queue is full).
    std::size_t writeWithoutWaiting(const std::uint8_t* data, std::size_t length, int& error);
    void end();

    int fd_;
    const CloseSignal& close_;
    CommNotifier notifier_;
    std::atomic<bool>& sendQueueEmpty_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable drained_;
    std::deque<std::vector<std::uint8_t>> queue_;  // guarded by mutex_
    bool closing_ = false;                         // guarded by mutex_
    bool writing_ = false;                         // guarded by mutex_: a block is being written
    bool ended_ = false;                           // guarded by mutex_
    std::thread thread_;
};

}  // namespace pst
