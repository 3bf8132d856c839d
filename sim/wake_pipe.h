#pragma once

#include <chrono>

namespace pst::sim {

// A one-way "stop now" signal that poll() can wait on together with other
// descriptors. Once raised it stays raised. raise() is async-signal-safe.
class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    int fd() const { return readFd_; }
    void raise() const noexcept;

    // Sleeps for `duration` unless raised first; returns true when raised.
    // Waits of one thread at a time: pacing keeps to the wire's timing.
    bool waitFor(std::chrono::steady_clock::duration duration) const;
    bool waitUntil(std::chrono::steady_clock::time_point deadline) const;

private:
    int readFd_ = -1;
    int writeFd_ = -1;
    // Pacing waits end on a timer set to the deadline: a timed poll() may
    // end late by a thousandth of its length, which adds up over a transfer.
    int timerFd_ = -1;
};

}  // namespace pst::sim
