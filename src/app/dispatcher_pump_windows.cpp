#include "app/dispatcher_pump.h"

// The wake-up is one queued invocation on the pump, posted by Qt's own
// cross-thread event queue.

#include <QMetaObject>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <stdexcept>

namespace pst::app {

struct DispatcherPump::Wake {
    // Any thread. Posts at most one wake-up until the pump has taken it.
    void post()
    {
        if (pending.exchange(true))
            return;
        std::lock_guard lock(mutex);
        // Qt drops an invocation still queued for an object that is
        // destroyed meanwhile, so only a pump already gone needs this test.
        if (pump)
            QMetaObject::invokeMethod(pump, [target = pump] { target->onWake(); }, Qt::QueuedConnection);
    }

    std::mutex mutex;
    DispatcherPump* pump = nullptr;  // guarded by mutex; null once the pump is gone
    std::atomic<bool> pending{false};
};

DispatcherPump::DispatcherPump(std::shared_ptr<Dispatcher> dispatcher, QObject* parent)
    : QObject(parent), dispatcher_(std::move(dispatcher)), wake_(std::make_shared<Wake>())
{
    wake_->pump = this;
    dispatcher_->setWakeHook([wake = wake_] { wake->post(); });
    // Calls queued before the pump existed must not wait for the next one.
    wake_->post();
}

DispatcherPump::~DispatcherPump()
{
    dispatcher_->setWakeHook(nullptr);
    std::lock_guard lock(wake_->mutex);
    wake_->pump = nullptr;
}

void DispatcherPump::onWake()
{
    // Cleared before the calls run: one queued while they run wakes the pump
    // again rather than waiting for a later one.
    wake_->pending.store(false);
    try {
        dispatcher_->processPending();
    } catch (const std::exception& failure) {
        // A handler's failure must not unwind through Qt's event loop; the
        // calls queued behind it still run.
        std::fprintf(stderr, "pennafor-setting-tool: %s\n", failure.what());
        wake_->post();
    }
}

}  // namespace pst::app
