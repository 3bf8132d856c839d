#pragma once
// The link the user chose and its parameters. One store owns them: the
// main window (or the command line's session) writes what the user chose,
// the worker takes a copy at the start of every run from its own thread and
// writes back the speed it left the printer at. Whoever shows them
// subscribes and is told of every change.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace pst {

enum class LinkKind { Serial, Network, Usb, Parallel };

struct ConnectionSettings {
    LinkKind kind = LinkKind::Serial;
    // Checked where they were typed: the worker takes them as they are.
    std::uint32_t deviceSpeed = 9600;
    std::uint32_t transferSpeed = 115200;
    std::string comName = "COM1";
    std::string ipAddress;
    std::int32_t port = 0;
    std::string usbDeviceId;

    bool operator==(const ConnectionSettings&) const = default;
};

class ConnectionSettingsStore {
public:
    using Listener = std::function<void(const ConnectionSettings&)>;
    using Subscription = std::size_t;

    ConnectionSettings get() const
    {
        std::lock_guard lock(mutex_);
        return settings_;
    }

    void set(const ConnectionSettings& settings)
    {
        update([&](ConnectionSettings& s) { s = settings; });
    }

    // Listeners hear of a change once, after the lock is released (they may
    // read or write the store), on the thread that made it. A write that
    // leaves everything as it was is no change.
    template <typename Change> void update(Change&& change)
    {
        std::unique_lock lock(mutex_);
        const ConnectionSettings before = settings_;
        change(settings_);
        if (settings_ == before)
            return;
        const ConnectionSettings after = settings_;
        const std::vector<Entry> listeners = listeners_;
        lock.unlock();
        for (const Entry& entry : listeners)
            entry.second(after);
    }

    Subscription subscribe(Listener listener)
    {
        std::lock_guard lock(mutex_);
        listeners_.emplace_back(++lastSubscription_, std::move(listener));
        return lastSubscription_;
    }

    // A change being told on another thread at that moment may still reach
    // the listener once.
    void unsubscribe(Subscription subscription)
    {
        std::lock_guard lock(mutex_);
        std::erase_if(listeners_, [&](const Entry& entry) { return entry.first == subscription; });
    }

private:
    using Entry = std::pair<Subscription, Listener>;

    mutable std::mutex mutex_;
    ConnectionSettings settings_;
    std::vector<Entry> listeners_;
    Subscription lastSubscription_ = 0;
};

}  // namespace pst
