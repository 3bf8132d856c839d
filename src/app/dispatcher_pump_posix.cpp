#include "app/dispatcher_pump.h"

// The wake-up goes through an eventfd watched by a socket notifier: the
// hand-over passes through the kernel, which keeps the threads' view of the
// queue consistent without relying on Qt internals (and lets the thread
// sanitizer see it).

#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>

namespace pst::app {

struct DispatcherPump::Wake {
    Wake() : fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    {
        if (fd < 0)
            throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
    }
    ~Wake() { ::close(fd); }
    Wake(const Wake&) = delete;
    Wake& operator=(const Wake&) = delete;

    void wake() const
    {
        const std::uint64_t one = 1;
        // A full counter (never in practice) still leaves the fd readable.
        [[maybe_unused]] const auto written = ::write(fd, &one, sizeof one);
    }

    void drain() const
    {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto got = ::read(fd, &count, sizeof count);
    }

    const int fd;
};

DispatcherPump::DispatcherPump(std::shared_ptr<Dispatcher> dispatcher, QObject* parent)
    : QObject(parent), dispatcher_(std::move(dispatcher)), wake_(std::make_shared<Wake>())
{
    auto* notifier = new QSocketNotifier(wake_->fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { onWake(); });
    dispatcher_->setWakeHook([wake = wake_] { wake->wake(); });
    // Calls queued before the pump existed must not wait for the next one.
    wake_->wake();
}

DispatcherPump::~DispatcherPump()
{
    dispatcher_->setWakeHook(nullptr);
}

void DispatcherPump::onWake()
{
    wake_->drain();
    try {
        dispatcher_->processPending();
    } catch (const std::exception& failure) {
        // A handler's failure must not unwind through Qt's event loop; the
        // calls queued behind it still run.
        std::fprintf(stderr, "pennafor-setting-tool: %s\n", failure.what());
        wake_->wake();
    }
}

}  // namespace pst::app
