#pragma once
// Lets Qt's event loop run the calls that other threads queue on the UI
// thread's Dispatcher (the worker's messages, the serial component's data
// events). Queuing a call writes to an eventfd; a socket notifier on the UI
// thread wakes the event loop, which then runs every queued call. Wake-ups
// coalesce, and the hand-over goes through the kernel, which keeps the
// threads' view of the queue consistent without relying on Qt internals.

#include <QObject>
#include <memory>

#include "platform/dispatcher.h"

class QSocketNotifier;

namespace pst::app {

class DispatcherPump : public QObject {
    Q_OBJECT
public:
    // Must be created on the thread that owns `dispatcher`.
    explicit DispatcherPump(std::shared_ptr<Dispatcher> dispatcher, QObject* parent = nullptr);
    ~DispatcherPump() override;

    DispatcherPump(const DispatcherPump&) = delete;
    DispatcherPump& operator=(const DispatcherPump&) = delete;

private:
    void onWake();

    struct WakeFd;

    std::shared_ptr<Dispatcher> dispatcher_;
    // Shared with the wake hook: a thread that copied the hook just before
    // the pump went away may still write to it.
    std::shared_ptr<WakeFd> wakeFd_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace pst::app
