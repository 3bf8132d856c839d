#pragma once
// One open port: the device descriptor and the threads that serve it. Exists
// exactly while TComm counts as open. Internal to the transport library.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/comm_channel.h"
#include "transport/comm_types.h"

namespace pst {

class CommSession {
public:
    // Opens the device exclusively, applies the settings and starts the
    // threads. Throws ECommsError; whatever it opened is closed again first.
    static std::unique_ptr<CommSession> open(const std::string& devicePath, const CommLineSettings& lines,
                                             const CommTimeouts& timeouts, const CommNotifier& notifier,
                                             std::atomic<bool>& sendQueueEmpty);

    CommSession(const CommSession&) = delete;
    CommSession& operator=(const CommSession&) = delete;
    // Stops the threads (reader first), discards what the driver still
    // holds and closes the device.
    ~CommSession();

    // Refusals by the driver are not reported.
    void applyLineSettings(const CommLineSettings& lines);
    void applyTimeouts(const CommTimeouts& timeouts);

    bool send(const std::uint8_t* data, std::uint16_t length);
    // Everything queued handed to the driver within `limit`.
    bool waitUntilSent(std::chrono::milliseconds limit);

    // The device and the threads serving it, as each system has them
    // (comm_session_posix.cpp, comm_session_windows.cpp).
    struct Port;

private:
    explicit CommSession(std::unique_ptr<Port> port);

    std::unique_ptr<Port> port_;
};

}  // namespace pst
