#include "engine/worker_context.h"

#include "engine/comm_thread.h"
#include "engine/exchanges.h"
#include "engine/link_kinds.h"
#include "engine/link_setup.h"

namespace pst {

int WorkerContext::operationNumber() const
{
    return worker_.Operation();
}

std::int32_t WorkerContext::argument1() const
{
    return worker_.Argument1();
}

std::int32_t WorkerContext::argument2() const
{
    return worker_.Argument2();
}

const HandOver& WorkerContext::handOver() const
{
    return worker_.RunHandOver();
}

const RunSettings& WorkerContext::settings() const
{
    return worker_.Run();
}

void WorkerContext::openLink()
{
    worker_.OpenLink(worker_.Run().comName, worker_.Run().transferSpeed);
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
    worker_.SwitchBackIfStillSwitched();
    return worker_.StrandedSpeed();
}

void WorkerContext::openLinkForBootLoader()
{
    if (!linkKindInfo(worker_.Run().kind).reachesBootLoader)
        return;
    worker_.ReleaseSerialPort();
    worker_.Pause(10);
    worker_.OpenSerialAtDeviceSpeed(worker_.Run().comName);
    worker_.Pause(100);
}

void WorkerContext::closeBootLoaderPort()
{
    if (!linkKindInfo(worker_.Run().kind).reachesBootLoader)
        return;
    worker_.ReleaseSerialPort();
    worker_.SetPortOpen(false);
}

bool WorkerContext::releaseLink()
{
    return worker_.ReleaseLinkWhileRestarting();
}

void WorkerContext::retakeLink()
{
    worker_.RetakeLink();
}

void WorkerContext::reopenBare()
{
    // Name and speed stay as the last open (or the window) left them.
    worker_.ReopenBare();
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
    worker_.SetRawReceiveMode(on);
}

int WorkerContext::rawFirstByte()
{
    return worker_.RawFirstByte();
}

void WorkerContext::clearRawReceive()
{
    worker_.ClearRawReceive();
}

void WorkerContext::setBootPollMode(bool on)
{
    worker_.SetBootPollMode(on);
}

void WorkerContext::pause(int milliseconds)
{
    worker_.Pause(milliseconds);
}

bool WorkerContext::cancelled() const
{
    return worker_.Cancelled();
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
    return worker_.DeviceTypeNumber();
}

void WorkerContext::setErrorCode(int code)
{
    worker_.SetErrorCode(code);
}

int WorkerContext::errorCode() const
{
    return worker_.ErrorCode();
}

void WorkerContext::setErrorText(const std::string& text)
{
    worker_.SetErrorText(text);
}

std::string WorkerContext::errorText() const
{
    return worker_.Status().error();
}

void WorkerContext::noteFailureCause(const std::exception& failure)
{
    worker_.NoteFailureCause(failure);
}

void WorkerContext::setMemoryStream(std::vector<std::uint8_t> bytes)
{
    worker_.SetMemoryStream(std::move(bytes));
}

void WorkerContext::setBootReplyText(const std::string& text)
{
    worker_.SetBootReplyText(text);
}

void WorkerContext::addToFailure(const std::string& line)
{
    worker_.AddToRunFailure(line);
}

void WorkerContext::rememberDeviceSpeed(std::uint32_t speed)
{
    // The printer takes the new speed by itself (at once, or when it is
    // switched back): the link's close owes it no switch of its own.
    worker_.ForgetSpeedSwitch();
    worker_.Connection().update([&](ConnectionSettings& settings) { settings.deviceSpeed = speed; });
}

// The link test's two outcomes are the only events an operation raises
// itself.
void WorkerContext::reportLinkFound()
{
    worker_.ReportLinkFound();
}

void WorkerContext::reportLinkFailed()
{
    worker_.ReportLinkFailed();
}

}  // namespace pst
