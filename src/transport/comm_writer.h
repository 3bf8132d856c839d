#pragma once
// The writer thread of an open port. Internal to the transport library.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "transport/comm_channel.h"
#include "transport/comm_write_queue.h"

namespace pst {

class CommWriter : CommWriteQueue {
public:
    CommWriter(int fd, const CloseSignal& close, CommNotifier notifier, std::atomic<bool>& sendQueueEmpty);
    // The thread runs this writer's code, so it ends before the writer goes.
    ~CommWriter();

    // Throws std::system_error when the thread cannot be created.
    void start();
    using CommWriteQueue::enqueue;
    using CommWriteQueue::stop;
    using CommWriteQueue::waitUntilDrained;

private:
    BlockWrite writeAll(const std::vector<std::uint8_t>& block);
    // Writes what the driver takes at once; returns how many bytes it took.
    // `error` tells why it stopped short (EAGAIN: the driver's queue is full).
    std::size_t writeWithoutWaiting(const std::uint8_t* data, std::size_t length, int& error);

    int fd_;
    const CloseSignal& close_;
};

}  // namespace pst
