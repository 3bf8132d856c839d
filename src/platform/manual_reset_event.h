#pragma once
// A manual-reset event: once set it stays set, releasing every waiter, until
// reset. The worker waits on one for the printer's reply while the thread
// that assembles replies sets it.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace pst {

enum class WaitResult { Signalled, TimedOut, Abandoned, Failed };

class ManualResetEvent {
public:
    explicit ManualResetEvent(bool initiallySet = false) : set_(initiallySet) { }

    // Notifies under the lock: a waiter that wakes may destroy the event
    // at once (the object it waited for is done), so the notification must
    // be over by then.
    void set()
    {
        std::lock_guard lock(mutex_);
        set_ = true;
        changed_.notify_all();
    }

    void reset()
    {
        std::lock_guard lock(mutex_);
        set_ = false;
    }

    bool isSet() const
    {
        std::lock_guard lock(mutex_);
        return set_;
    }

    // Waits until the event is set or the time has passed.
    WaitResult wait(std::chrono::milliseconds timeout) const
    {
        std::unique_lock lock(mutex_);
        if (changed_.wait_for(lock, timeout, [&] { return set_; }))
            return WaitResult::Signalled;
        return WaitResult::TimedOut;
    }

    void waitForever() const
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return set_; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_;
};

}  // namespace pst
