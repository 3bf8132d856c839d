#include "transport/comm_session.h"

#include "transport/comm_session_port.h"

namespace pst {

std::unique_ptr<CommSession> CommSession::open(const std::string& devicePath, const CommLineSettings& lines,
                                               const CommTimeouts& timeouts, const CommNotifier& notifier,
                                               std::atomic<bool>& sendQueueEmpty)
{
    // From here on every throw destroys the port, and its destructor undoes
    // exactly the steps that had been taken.
    std::unique_ptr<Port> port = Port::create(notifier, sendQueueEmpty);
    port->openDevice(devicePath);

    // Whatever was left in the driver's queues belongs to an earlier user.
    port->discardDriverQueues();
    sendQueueEmpty.store(true);
    port->applyTimeouts(timeouts);
    port->applyLineSettings(lines);

    if (!port->close.create())
        throw ECommsError("Unable to create event");
    port->startThreads();
    return std::unique_ptr<CommSession>(new CommSession(std::move(port)));
}

CommSession::CommSession(std::unique_ptr<Port> port) : port_(std::move(port)) { }

CommSession::~CommSession() = default;

void CommSession::applyLineSettings(const CommLineSettings& lines)
{
    port_->applyLineSettings(lines);
}

void CommSession::applyTimeouts(const CommTimeouts& timeouts)
{
    port_->applyTimeouts(timeouts);
}

bool CommSession::send(const std::uint8_t* data, std::uint16_t length)
{
    return port_->send(data, length);
}

bool CommSession::waitUntilSent(std::chrono::milliseconds limit)
{
    return port_->waitUntilSent(limit);
}

}  // namespace pst
