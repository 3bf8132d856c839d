#include "engine/serial_link.h"

#include <algorithm>

#include "transport/comm.h"

namespace pst {

SerialLink::SerialLink(TComm& comm, StreamReply::Context context) : StreamLink(std::move(context)), comm_(comm)
{
    comm_.setDirectReceiver(
        [this](const std::uint8_t* bytes, std::size_t count) { received(bytes, count); });
}

SerialLink::~SerialLink()
{
    comm_.setDirectReceiver(nullptr);
}

void SerialLink::open(const LinkTarget& target)
{
    comm_.setCommName(target.portName);
    comm_.setBaudRate(target.speed);
    if (target.letGoFirst)
        comm_.ClosePort();
    comm_.OpenPort();
}

void SerialLink::close()
{
    comm_.ClosePort();
}

void SerialLink::openAndReach(const LinkTarget& target, LinkReach& worker)
{
    open(target);
    worker.markOpen();
    worker.logOpen(target.portName);
    if (!worker.probing())
        worker.pause(30);
    worker.reachPrinter(target.transferSpeed);
}

void SerialLink::reopenBare(const LinkTarget& /*target*/, LinkReach& worker)
{
    comm_.ClosePort();
    worker.pause(10);
    comm_.OpenPort();
}

bool SerialLink::letGoWhileRestarting()
{
    comm_.ClosePort();
    return true;
}

void SerialLink::retake()
{
    comm_.OpenPort();
}

bool SerialLink::isOpen() const
{
    return comm_.isOpen();
}

bool SerialLink::write(const std::uint8_t* bytes, std::size_t count)
{
    // The component takes at most 65535 bytes a call; this program writes at
    // most 2049 at a time.
    return count == 0 || comm_.SendData(bytes, static_cast<std::uint16_t>(std::min<std::size_t>(count, 65535)));
}

std::uint32_t SerialLink::speed() const
{
    return comm_.BaudRate();
}

void SerialLink::setSpeed(std::uint32_t speed)
{
    comm_.setBaudRate(speed);
}

bool SerialLink::waitUntilSent(std::chrono::milliseconds limit)
{
    return comm_.waitUntilSent(limit);
}

}  // namespace pst
