#pragma once
// What the background threads of an open port share with the component: the
// way back to the creating thread, the close signal and the live time-outs.
// Internal to the transport library.

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/dispatcher.h"
#include "transport/comm_types.h"

namespace pst {

// What a component does with its threads' notices. Runs on the creating
// thread only. The serial component raises all five events; the USB device
// component has no modem lines and no hang-up event and ignores those.
class CommEvents {
public:
    virtual ~CommEvents() = default;
    // block holds length bytes followed by one zero byte.
    virtual void receiveData(const std::uint8_t* block, std::uint16_t length) = 0;
    virtual void receiveError(std::uint32_t errorMask) = 0;
    virtual void modemStateChange(std::uint32_t modemEvent) = 0;
    virtual void requestHangup() = 0;
    virtual void sendDataEmpty() = 0;
};

// What an owner may ask to receive on the reader thread itself, with the
// bytes of every read as soon as it returns; valid during the call only.
using DirectReceiver = std::function<void(const std::uint8_t* bytes, std::size_t count)>;

// Lets queued notices find their component, or learn that it is gone. Held
// by every queued notice; the component empties `events` when it dies, under
// the mutex, so a notice either runs completely before that or not at all.
// The direct receiver has a lock of its own: it runs on the reader thread,
// and whoever clears it knows that no call is under way afterwards.
struct CommEventGate {
    std::mutex mutex;
    std::unique_ptr<CommEvents> events;
    std::mutex directMutex;
    DirectReceiver direct;  // guarded by directMutex
};

// Raises the component's events on the thread that created it. Every call
// only queues; the event runs later from that thread's dispatcher, and not at
// all once the component is gone.
class CommNotifier {
public:
    CommNotifier(std::shared_ptr<Dispatcher> dispatcher, std::shared_ptr<CommEventGate> gate);

    // block holds the received bytes followed by one zero byte.
    void receivedData(std::vector<std::uint8_t> block) const;
    // Hands freshly read bytes to the direct receiver, on the calling (reader)
    // thread. False, with nothing handed on, when none is set.
    bool receivedDirect(const std::uint8_t* bytes, std::size_t count) const;
    void receiveError(std::uint32_t errorMask) const;
    void modemStateChange(std::uint32_t modemEvent) const;
    void hangup() const;
    void sendQueueEmpty() const;

private:
    void deliver(std::function<void(CommEvents&)> raise) const;

    std::shared_ptr<Dispatcher> dispatcher_;
    std::shared_ptr<CommEventGate> gate_;
};

// tty calls may wait for the line discipline and come back early on a signal.
template <class Call> int retryInterrupted(Call call)
{
    int result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// Starts one of an open port's threads; a thread the system will not create
// becomes the component's failure with `failureText`.
template <class PortThread> void startPortThread(PortThread& thread, const char* failureText)
{
    try {
        thread.start();
    } catch (const std::system_error&) {
        throw ECommsError(failureText);
    }
}

// Once the close signal is given: waits for the reader to end, then stops
// the writer without writing what it still holds. Nothing counts as queued
// afterwards.
template <class Reader, class Writer>
void stopPortThreads(std::unique_ptr<Reader>& reader, std::unique_ptr<Writer>& writer,
                     std::atomic<bool>& sendQueueEmpty)
{
    if (reader)
        reader->join();
    if (writer)
        writer->stop();
    reader.reset();
    writer.reset();
    sendQueueEmpty.store(true);
}

// Once signalled it stays signalled, so every wait that includes it wakes at
// once, however late it starts: an eventfd that is never read on Linux, a
// manual-reset event on Windows (close_signal_posix.cpp, _windows.cpp).
class CloseSignal {
public:
    CloseSignal() = default;
    CloseSignal(const CloseSignal&) = delete;
    CloseSignal& operator=(const CloseSignal&) = delete;
    ~CloseSignal();

    bool create();
    void signal() const;
    bool valid() const { return handle_ != -1; }
    // The eventfd, to poll.
    int fd() const { return static_cast<int>(handle_); }
    // The event's handle, to wait for.
    void* event() const { return reinterpret_cast<void*>(handle_); }

private:
    std::intptr_t handle_ = -1;
};

// The values the reader consults while it runs. The caller of the setters
// changes them while the port is open (the worker narrows the gap time to
// 1 ms for each command), so they are atomics read afresh for every wait.
struct ReaderTuning {
    std::atomic<std::uint32_t> readInterval{0};
    std::atomic<std::uint32_t> readTotalMultiplier{0};
    std::atomic<std::uint32_t> readTotalConstant{0};
    std::atomic<bool> ignoreNullChar{false};
    // Set before the reader starts: whether line-error counts are read after
    // every read; the USB device component has no use for them.
    bool countLineErrors = true;
};

}  // namespace pst
