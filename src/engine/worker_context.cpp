#include "engine/worker_context.h"

#include "engine/comm_thread.h"
#include "engine/exchanges.h"
#include "engine/link_kinds.h"
#include "engine/link_setup.h"

namespace pst {

int WorkerContext::operationNumber() const
{
    return worker_.operation();
}

std::int32_t WorkerContext::argument1() const
{
    return worker_.argument1();
}

std::int32_t WorkerContext::argument2() const
{
    return worker_.argument2();
}

const HandOver& WorkerContext::handOver() const
{
    return worker_.runHandOver();
}

const RunSettings& WorkerContext::settings() const
{
    return worker_.run();
}

void WorkerContext::openLink()
{
    worker_.OpenLink(worker_.run().comName, worker_.run().transferSpeed);
}

void WorkerContext::restoreLinkSpeed()
{
    worker_.RestoreLinkSpeed();
}

void WorkerContext::closeLink()
{
    worker_.CloseLink();
}

std::uint32_t WorkerContext::settleLineSpeed()
{
    worker_.switchBackIfStillSwitched();
    return worker_.strandedSpeed();
}

void WorkerContext::openLinkForBootLoader()
{
    if (!linkKindInfo(worker_.run().kind).reachesBootLoader)
        return;
    worker_.releaseSerialPort();
    worker_.pause(10);
    worker_.OpenSerialAtDeviceSpeed(worker_.run().comName);
    worker_.pause(100);
}

void WorkerContext::closeBootLoaderPort()
{
    if (!linkKindInfo(worker_.run().kind).reachesBootLoader)
        return;
    worker_.releaseSerialPort();
    worker_.setPortOpen(false);
}

bool WorkerContext::releaseLink()
{
    return worker_.releaseLinkWhileRestarting();
}

void WorkerContext::retakeLink()
{
    worker_.retakeLink();
}

void WorkerContext::reopenBare()
{
    // Name and speed stay as the last open (or the window) left them.
    worker_.reopenBare();
}

bool WorkerContext::writeBytes(std::span<const std::uint8_t> bytes)
{
    return worker_.WriteBytes(bytes.data(), bytes.size());
}

std::uint32_t WorkerContext::confirmedSend(std::uint16_t command, std::uint32_t argument1, int attempts,
                                           std::span<const std::uint8_t> payload, std::uint32_t argument2,
                                           std::span<std::uint8_t> reply)
{
    return ConfirmedSend(worker_, command, argument1, attempts, payload, argument2, reply);
}

std::uint32_t WorkerContext::readRequest(std::uint16_t command, std::uint32_t argument1, int attempts,
                                         std::span<const std::uint8_t> payload, std::span<std::uint8_t> out)
{
    return ReadRequest(worker_, command, argument1, attempts, payload, out);
}

void WorkerContext::connect()
{
    Connect(worker_);
}

void WorkerContext::setRawReceiveMode(bool on)
{
    worker_.setRawReceiveMode(on);
}

int WorkerContext::rawFirstByte()
{
    return worker_.rawFirstByte();
}

void WorkerContext::clearRawReceive()
{
    worker_.clearRawReceive();
}

void WorkerContext::setBootPollMode(bool on)
{
    worker_.setBootPollMode(on);
}

void WorkerContext::pause(int milliseconds)
{
    worker_.pause(milliseconds);
}

bool WorkerContext::cancelled() const
{
    return worker_.cancelled();
}

void WorkerContext::showStatus(const std::string& text, std::int32_t done, std::int32_t inAll,
                               bool toParamBar)
{
    worker_.ShowStatus(text, done, inAll, toParamBar);
}

std::string WorkerContext::deviceModel() const
{
    return worker_.DeviceModel();
}

int WorkerContext::deviceTypeNumber() const
{
    return worker_.deviceTypeNumber();
}

void WorkerContext::setErrorCode(int code)
{
    worker_.setErrorCode(code);
}

int WorkerContext::errorCode() const
{
    return worker_.errorCode();
}

void WorkerContext::setErrorText(const std::string& text)
{
    worker_.SetErrorText(text);
}

std::string WorkerContext::errorText() const
{
    return worker_.status().error();
}

void WorkerContext::noteFailureCause(const std::exception& failure)
{
    worker_.noteFailureCause(failure);
}

void WorkerContext::setMemoryStream(std::vector<std::uint8_t> bytes)
{
    worker_.setMemoryStream(std::move(bytes));
}

void WorkerContext::setBootReplyText(const std::string& text)
{
    worker_.setBootReplyText(text);
}

void WorkerContext::addToFailure(const std::string& line)
{
    worker_.addToRunFailure(line);
}

void WorkerContext::rememberDeviceSpeed(std::uint32_t speed)
{
    // The printer takes the new speed by itself (at once, or when it is
    // switched back): the link's close owes it no switch of its own.
    worker_.forgetSpeedSwitch();
    worker_.connection().update([&](ConnectionSettings& settings) { settings.deviceSpeed = speed; });
}

// The link test's two outcomes are the only events an operation raises
// itself.
void WorkerContext::reportLinkFound()
{
    worker_.reportLinkFound();
}

void WorkerContext::reportLinkFailed()
{
    worker_.reportLinkFailed();
}

}  // namespace pst
