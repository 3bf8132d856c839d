#pragma once
// The link the user chose and its parameters. The main window owns the
// store and refreshes it from its controls; the worker takes a copy at the
// start of every run, from its own thread, so the store is locked.

#include <cstdint>
#include <mutex>
#include <string>

namespace pst {

enum class LinkKind { Serial, Network, Usb, Parallel };

struct ConnectionSettings {
    LinkKind kind = LinkKind::Serial;
    // The speed boxes' texts as typed; the worker converts them strictly.
    std::string deviceSpeedText = "9600";
    std::string transferSpeedText = "115200";
    std::string comName = "COM1";
    std::string ipAddress;
    std::int32_t port = 0;
    std::string usbDeviceId;
};

class ConnectionSettingsStore {
public:
    ConnectionSettings get() const
    {
        std::lock_guard lock(mutex_);
        return settings_;
    }

    void set(const ConnectionSettings& settings)
    {
        std::lock_guard lock(mutex_);
        settings_ = settings;
    }

    template <typename Change> void update(Change&& change)
    {
        std::lock_guard lock(mutex_);
        change(settings_);
    }

private:
    mutable std::mutex mutex_;
    ConnectionSettings settings_;
};

}  // namespace pst
