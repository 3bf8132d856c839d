#pragma once
// What the background threads of an open port share with the component: the
// way back to the creating thread, the close signal and the live time-outs.
// Internal to the transport library.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/dispatcher.h"

namespace pst {

class TComm;
struct CommEventGate;

// Raises the component's events on the thread that created it. Every call
// only queues; the event runs later from that thread's dispatcher, and not at
// all once the component is gone.
class CommNotifier {
public:
    CommNotifier(std::shared_ptr<Dispatcher> dispatcher, std::shared_ptr<CommEventGate> gate);

    // block holds the received bytes followed by one zero byte.
    void receivedData(std::vector<std::uint8_t> block) const;
    void receiveError(std::uint32_t errorMask) const;
    void modemStateChange(std::uint32_t modemEvent) const;
    void hangup() const;
    void sendQueueEmpty() const;

private:
    void deliver(std::function<void(TComm&)> raise) const;

    std::shared_ptr<Dispatcher> dispatcher_;
    std::shared_ptr<CommEventGate> gate_;
};

// Once signalled it stays signalled (an eventfd that is never read), so every
// poll() that includes it wakes at once, however late it starts.
class CloseSignal {
public:
    CloseSignal() = default;
    CloseSignal(const CloseSignal&) = delete;
    CloseSignal& operator=(const CloseSignal&) = delete;
    ~CloseSignal();

    bool create();
    void signal() const;
    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// The values the reader consults while it runs. The caller of the setters
// changes them while the port is open (the worker narrows the gap time to
// 1 ms for each command), so they are atomics read afresh for every wait.
struct ReaderTuning {
    std::atomic<std::uint32_t> readInterval{0};
    std::atomic<std::uint32_t> readTotalMultiplier{0};
    std::atomic<std::uint32_t> readTotalConstant{0};
    std::atomic<bool> ignoreNullChar{false};
};

}  // namespace pst
