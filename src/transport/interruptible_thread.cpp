#include "transport/interruptible_thread.h"

#include <chrono>
#include <csignal>

#include <pthread.h>

namespace pst {

namespace {

extern "C" void ignoreWakeSignal(int) { }

void installWakeHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action { };
        action.sa_handler = ignoreWakeSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: the interrupted call must return
        sigaction(InterruptibleThread::wakeSignal(), &action, nullptr);
    });
}

}  // namespace

int InterruptibleThread::wakeSignal()
{
    return SIGRTMIN + 3;
}

InterruptibleThread::~InterruptibleThread()
{
    stop();
}

void InterruptibleThread::start(Body body)
{
    installWakeHandler();
    stopRequested_.store(false);
    {
        std::lock_guard lock(mutex_);
        finished_ = false;
    }
    thread_ = std::thread([this, body = std::move(body)] {
        // Threads inherit the creator's signal mask; the wake signal must get
        // through here whatever the caller blocks.
        sigset_t wake;
        sigemptyset(&wake);
        sigaddset(&wake, wakeSignal());
        pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);

        body(stopRequested_);

        std::lock_guard lock(mutex_);
        finished_ = true;
        finishedChanged_.notify_all();
    });
}

void InterruptibleThread::stop()
{
    if (!thread_.joinable())
        return;
    stopRequested_.store(true);
    {
        // The signal can land just before the thread enters its blocking call
        // and be lost, so it is repeated until the thread is seen to finish.
        // Each round sleeps on the condition variable; nothing spins.
        std::unique_lock lock(mutex_);
        while (!finished_) {
            pthread_kill(thread_.native_handle(), wakeSignal());
            finishedChanged_.wait_for(lock, std::chrono::milliseconds(5));
        }
    }
    thread_.join();
}

}  // namespace pst
