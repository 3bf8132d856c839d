#include "dispatcher.h"

namespace pst {

struct SendTicket {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool ran = false;
};

namespace {

void finishTicket(SendTicket& ticket, bool ran)
{
    std::lock_guard lock(ticket.mutex);
    ticket.done = true;
    ticket.ran = ran;
    ticket.finished.notify_all();
}

}  // namespace

Dispatcher::Dispatcher() : owner_(std::this_thread::get_id()) { }

std::shared_ptr<Dispatcher> Dispatcher::current()
{
    thread_local std::shared_ptr<Dispatcher> mine = std::make_shared<Dispatcher>();
    return mine;
}

bool Dispatcher::enqueue(Item item)
{
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        if (shutDown_)
            return false;
        queue_.push_back(std::move(item));
        hook = wakeHook_;
    }
    workArrived_.notify_all();
    if (hook)
        hook();
    return true;
}

void Dispatcher::runItem(Item& item)
{
    // A sender must be released even when the call throws, or the worker
    // that sent it would wait for ever.
    try {
        item.call();
    } catch (...) {
        if (item.ticket)
            finishTicket(*item.ticket, true);
        throw;
    }
    if (item.ticket)
        finishTicket(*item.ticket, true);
}

void Dispatcher::post(Call call)
{
    enqueue(Item{std::move(call), nullptr});
}

bool Dispatcher::send(Call call)
{
    if (isOwningThread()) {
        call();
        return true;
    }
    auto ticket = std::make_shared<SendTicket>();
    if (!enqueue(Item{std::move(call), ticket}))
        return false;
    std::unique_lock lock(ticket->mutex);
    ticket->finished.wait(lock, [&] { return ticket->done; });
    return ticket->ran;
}

std::size_t Dispatcher::processPending()
{
    std::deque<Item> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(queue_);
    }
    std::size_t count = 0;
    while (!batch.empty()) {
        Item item = std::move(batch.front());
        batch.pop_front();
        try {
            runItem(item);
        } catch (...) {
            // Put back what this batch had not run yet, ahead of newer calls.
            std::lock_guard lock(mutex_);
            for (auto it = batch.rbegin(); it != batch.rend(); ++it)
                queue_.push_front(std::move(*it));
            throw;
        }
        ++count;
    }
    return count;
}

bool Dispatcher::waitForWork(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    auto ready = [&] { return !queue_.empty() || shutDown_; };
    if (timeout == std::chrono::milliseconds::max())
        workArrived_.wait(lock, ready);
    else
        workArrived_.wait_for(lock, timeout, ready);
    return !queue_.empty();
}

bool Dispatcher::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const bool forever = timeout == std::chrono::milliseconds::max();
    const auto deadline =
        forever ? std::chrono::steady_clock::time_point::max() : std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // One call at a time so that done() is seen right after the call
        // that makes it true.
        Item item;
        {
            std::unique_lock lock(mutex_);
            auto ready = [&] { return !queue_.empty() || shutDown_; };
            if (!done()) {
                if (forever)
                    workArrived_.wait(lock, [&] { return ready(); });
                else if (!workArrived_.wait_until(lock, deadline, ready))
                    return done();
            }
            if (done() || shutDown_)
                return done();
            item = std::move(queue_.front());
            queue_.pop_front();
        }
        runItem(item);
        if (done())
            return true;
    }
}

void Dispatcher::setWakeHook(std::function<void()> hook)
{
    std::lock_guard lock(mutex_);
    wakeHook_ = std::move(hook);
}

void Dispatcher::shutdown()
{
    std::deque<Item> dropped;
    {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        dropped.swap(queue_);
    }
    workArrived_.notify_all();
    for (auto& item : dropped)
        if (item.ticket)
            finishTicket(*item.ticket, false);
}

}  // namespace pst
