#pragma once
// The queue behind a port's writer thread, the same on every system: what
// waits to be written, when the owner hears "queue ran empty", and how a
// failed write ends the writer. Only the writing itself is the system's:
// each system's writer derives from the queue, hands the owner enqueue,
// stop and waitUntilDrained as they are, and adds its writing.
// Internal to the transport library.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "transport/comm_channel.h"

namespace pst {

enum class BlockWrite { Done, Closing, Failed };

class CommWriteQueue {
public:
    // Writes the bytes the driver takes at once; returns how many it took.
    using WriteAtOnce = std::function<std::size_t(const std::uint8_t* data, std::size_t length)>;
    // Writes a whole block, waiting for the driver as long as need be.
    using WriteBlock = std::function<BlockWrite(const std::vector<std::uint8_t>& block)>;

    // `reportHangup`: a failed write is told to the owner through hangup().
    // `writeAtOnce` (when given) lets enqueue hand the driver what it takes
    // without waiting, with nothing queued or being written.
    CommWriteQueue(CommNotifier notifier, std::atomic<bool>& sendQueueEmpty, bool reportHangup,
                   WriteAtOnce writeAtOnce = {});
    CommWriteQueue(const CommWriteQueue&) = delete;
    CommWriteQueue& operator=(const CommWriteQueue&) = delete;
    ~CommWriteQueue();

    // Starts the writer thread on `body`, which is expected to call run().
    // Throws std::system_error when the thread cannot be created.
    void start(std::function<void()> body);
    // Queues a copy of the bytes (after what `writeAtOnce` took). False once
    // the writer has ended (a failed write or a close), in which case
    // nothing is queued.
    bool enqueue(const std::uint8_t* data, std::uint16_t length);
    // Ends the thread without writing what is still queued. The close signal
    // must have been given, so that a write under way is abandoned.
    void stop();
    // Waits until everything queued has been handed to the driver (or the
    // writer has ended), at most `limit`; true when it has.
    bool waitUntilDrained(std::chrono::milliseconds limit);

    // The writer thread's loop: writes block after block until the close or
    // a failed write.
    void run(const WriteBlock& writeBlock);
    // Ends the writer as a failed write does, before run() was reached.
    void fail();

private:
    void end();

    CommNotifier notifier_;
    std::atomic<bool>& sendQueueEmpty_;
    bool reportHangup_;
    WriteAtOnce writeAtOnce_;

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
