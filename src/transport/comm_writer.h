#pragma once
// The writer thread of an open port. Internal to the transport library.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "transport/comm_channel.h"
#include "transport/comm_write_queue.h"

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
    BlockWrite writeAll(const std::vector<std::uint8_t>& block);
    // Writes what the driver takes at once; returns how many bytes it took.
    // `error` tells why it stopped short (EAGAIN: the driver's queue is full).
    std::size_t writeWithoutWaiting(const std::uint8_t* data, std::size_t length, int& error);

    int fd_;
    const CloseSignal& close_;
    CommWriteQueue queue_;
};

}  // namespace pst
