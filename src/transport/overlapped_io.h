#pragma once
// The reader and writer threads of a device opened for overlapped I/O on
// Windows: a COM port now, a USB device interface later. Windows only;
// internal to the transport library.
//
// Both end when the close signal is given. Each read or write that is still
// outstanding then is cancelled and waited for before its buffer goes away.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <windows.h>

#include "transport/comm_channel.h"
#include "transport/comm_write_queue.h"

namespace pst {

struct OverlappedOptions {
    // Report line errors, ring and carrier (a COM port); a USB device has
    // none of them.
    bool watchLineEvents = true;
    // Tell the owner through OnRequestHangup when a thread ends on an
    // error; the USB device component ends silently.
    bool reportHangup = true;
    // A read that completes with nothing ends reading (a USB device that
    // does so has gone quiet for good); a COM port's read only starts again.
    bool endOnEmptyRead = false;
};

class OverlappedReader {
public:
    OverlappedReader(HANDLE device, const CloseSignal& close, CommNotifier notifier, OverlappedOptions options);
    OverlappedReader(const OverlappedReader&) = delete;
    OverlappedReader& operator=(const OverlappedReader&) = delete;
    ~OverlappedReader();

    // Throws std::system_error when the thread cannot be created.
    void start();
    // The close signal must have been given; returns once the thread is gone.
    void join();

private:
    void run();
    void hangup() const;

    HANDLE device_;
    const CloseSignal& close_;
    CommNotifier notifier_;
    OverlappedOptions options_;
    std::thread thread_;
};

class OverlappedWriter : CommWriteQueue {
public:
    OverlappedWriter(HANDLE device, const CloseSignal& close, CommNotifier notifier,
                     std::atomic<bool>& sendQueueEmpty, OverlappedOptions options);
    // The thread runs this writer's code, so it ends before the writer goes.
    ~OverlappedWriter();

    // Throws std::system_error when the thread cannot be created.
    void start();
    using CommWriteQueue::enqueue;
    using CommWriteQueue::stop;
    using CommWriteQueue::waitUntilDrained;

private:
    void run();
    BlockWrite writeAll(const std::vector<std::uint8_t>& block, OVERLAPPED& record);

    HANDLE device_;
    const CloseSignal& close_;
};

}  // namespace pst
