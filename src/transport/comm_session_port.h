#pragma once
// What CommSession asks of the port each system has (comm_session_posix.cpp,
// comm_session_windows.cpp). Internal to the transport library.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/comm_channel.h"
#include "transport/comm_session.h"

namespace pst {

struct CommSession::Port {
    Port(const CommNotifier& events, std::atomic<bool>& emptyFlag)
        : notifier(events), sendQueueEmpty(emptyFlag)
    {
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    // Each system's port shuts itself down here: stops the threads (reader
    // first), discards what the driver still holds and closes the device,
    // undoing exactly the steps that had been taken.
    virtual ~Port() = default;

    // The system's port, nothing opened yet.
    static std::unique_ptr<Port> create(const CommNotifier& notifier, std::atomic<bool>& sendQueueEmpty);

    // Opens the device exclusively. Throws ECommsError.
    virtual void openDevice(const std::string& devicePath) = 0;
    // Drops whatever the driver's queues hold, both ways.
    virtual void discardDriverQueues() = 0;
    // Throws ECommsError when a thread cannot be started.
    virtual void startThreads() = 0;
    virtual void applyLineSettings(const CommLineSettings& lines) = 0;
    virtual void applyTimeouts(const CommTimeouts& timeouts) = 0;
    // False when there is no writer or it has ended.
    virtual bool send(const std::uint8_t* data, std::uint16_t length) = 0;
    virtual bool waitUntilSent(std::chrono::milliseconds limit) = 0;

    CommNotifier notifier;
    std::atomic<bool>& sendQueueEmpty;
    CloseSignal close;
};

// A port served by a Reader and a Writer thread (the tty's or the
// overlapped ones): nothing is sent before the threads start or after they
// stop.
template <class Reader, class Writer> struct CommPortWithThreads : CommSession::Port {
    using Port::Port;

    bool send(const std::uint8_t* data, std::uint16_t length) final
    {
        return writer && writer->enqueue(data, length);
    }
    bool waitUntilSent(std::chrono::milliseconds limit) final
    {
        return !writer || writer->waitUntilDrained(limit);
    }

    std::unique_ptr<Reader> reader;
    std::unique_ptr<Writer> writer;
};

}  // namespace pst
