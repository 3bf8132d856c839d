#pragma once
// Lets Qt's event loop run the calls that other threads queue on the UI
// thread's Dispatcher (the worker's messages, the serial component's data
// events). Queuing a call wakes the pump, which then runs every queued call
// on the UI thread; wake-ups coalesce. How the wake-up travels is the
// system's (dispatcher_pump_<system>.cpp).

#include <QObject>
#include <memory>

#include "platform/dispatcher.h"

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

    struct Wake;  // the system's wake-up, shared with the wake hook

    std::shared_ptr<Dispatcher> dispatcher_;
    // Shared with the wake hook: a thread that copied the hook just before
    // the pump went away may still call it.
    std::shared_ptr<Wake> wake_;
};

}  // namespace pst::app
