#pragma once
// The per-thread call queue that stands in for a window's message queue.
//
// Every thread that owns windows or components has one Dispatcher. Other
// threads hand it calls: post() queues a call and returns at once, send()
// queues it and blocks until the owning thread has run it. The owning thread
// runs queued calls from its event loop (runUntil / processPending), or a GUI
// toolkit drives it through the wake hook.
//
// Calls from one posting thread run in the order they were posted.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace pst {

struct SendTicket;

class Dispatcher {
public:
    using Call = std::function<void()>;

    Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // The dispatcher of the calling thread, created on first use. Components
    // capture it at construction so that their events run on the thread that
    // created them.
    static std::shared_ptr<Dispatcher> current();

    // Queues a call for the owning thread. Thread-safe, never blocks for long.
    void post(Call call);

    // Runs a call on the owning thread and waits until it has returned. Called
    // on the owning thread itself, it runs the call inline (a window sending a
    // message to itself). Returns false when the dispatcher was shut down
    // before the call could run.
    bool send(Call call);

    // Owning thread: run every call queued so far. Returns how many ran.
    std::size_t processPending();

    // Owning thread: run calls as they arrive until done() is true or the
    // timeout passes. Returns done()'s final value. done() is checked after
    // every call, so a handler that sets a flag ends the loop promptly.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds::max());

    // Owning thread: wait until a call is queued or the timeout passes.
    // Returns true when something is queued.
    bool waitForWork(std::chrono::milliseconds timeout);

    // A toolkit's event loop asks to be woken when a call is queued; the hook
    // runs on the posting thread and must only schedule processPending() on
    // the owning thread.
    void setWakeHook(std::function<void()> hook);

    // Drops queued calls and refuses new ones; blocked senders are released.
    void shutdown();

    bool isOwningThread() const { return std::this_thread::get_id() == owner_; }

private:
    struct Item {
        Call call;
        std::shared_ptr<SendTicket> ticket;  // set for send()
    };

    // False (and nothing queued) once shut down.
    bool enqueue(Item item);
    // Runs the call and releases its sender, also when the call throws.
    static void runItem(Item& item);

    std::thread::id owner_;
    mutable std::mutex mutex_;
    std::condition_variable workArrived_;
    std::deque<Item> queue_;
    std::function<void()> wakeHook_;
    bool shutDown_ = false;
};

}  // namespace pst
