#pragma once
// A thread that may sit in a system call no descriptor can wake (TIOCMIWAIT
// waits only for modem lines). stop() breaks such a call with a signal whose
// handler does nothing and is installed without SA_RESTART, so the call
// returns EINTR and the body sees the stop request. Internal to the transport
// library; it reserves the real-time signal returned by wakeSignal().

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace pst {

class InterruptibleThread {
public:
    using Body = std::function<void(const std::atomic<bool>& stopRequested)>;

    InterruptibleThread() = default;
    InterruptibleThread(const InterruptibleThread&) = delete;
    InterruptibleThread& operator=(const InterruptibleThread&) = delete;
    ~InterruptibleThread();

    // Throws std::system_error when the thread cannot be created. The body
    // must check stopRequested before each blocking call and treat EINTR as a
    // reason to check again.
    void start(Body body);

    // Returns once the body has returned. Safe to call when not started.
    void stop();

    static int wakeSignal();

private:
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::mutex mutex_;
    std::condition_variable finishedChanged_;
    bool finished_ = false;  // guarded by mutex_
};

}  // namespace pst
