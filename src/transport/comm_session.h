#pragma once
// One open port: the device descriptor and the threads that serve it. Exists
// exactly while TComm counts as open. Internal to the transport library.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/comm_channel.h"
#include "transport/comm_modem_watch.h"
#include "transport/comm_reader.h"
#include "transport/comm_types.h"
#include "transport/comm_writer.h"

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

private:
    CommSession(const CommNotifier& notifier, std::atomic<bool>& sendQueueEmpty);
    void openDevice(const std::string& devicePath);
    void startThreads();
    void shutdown();

    CommNotifier notifier_;
    std::atomic<bool>& sendQueueEmpty_;
    int fd_ = -1;
    bool exclusive_ = false;
    CloseSignal close_;
    ReaderTuning tuning_;
    std::unique_ptr<CommReader> reader_;
    std::unique_ptr<CommModemWatch> modemWatch_;
    std::unique_ptr<CommWriter> writer_;
};

}  // namespace pst
