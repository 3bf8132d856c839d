#include "engine/link_setup.h"

#include <array>
#include <algorithm>

#include "engine/comm_thread.h"
#include "protocol/command_packet.h"
#include "protocol/errors.h"
#include "engine/exchanges.h"
#include "protocol/speed_code.h"

namespace pst {

namespace {

// The switch and its acknowledgement: two bare packet headers.
constexpr std::size_t kSwitchBytesBothWays = 2 * kPacketHeaderSize;
// The identify request, and a reply that carries the model and its check byte.
constexpr std::size_t kIdentifyReplyBytes = kPacketHeaderSize + kModelNameBytes + 1;

}  // namespace

void SwitchLinkSpeed(TCommThread& worker, std::uint32_t speed)
{
    // The packet moves the printer's serial line: over the network or USB it
    // would change a speed this run does not use, and a setting just made
    // could end in a failed switch.
    if (!worker.linkHasLineSpeed() || speed == worker.lineSpeed())
        return;
    worker.pause(30);
    try {
        // Answered at once, before the printer changes speed: a printer that
        // has not answered by the time the bytes take is not listening here.
        ConfirmedSendWithin(worker, ShortExchangeTimeouts(worker.lineSpeed(), kSwitchBytesBothWays),
                            kCommandSwitchSpeed, SpeedCode(speed), {});
    } catch (...) {
        worker.noteSpeedSwitch(speed, false);
        throw ESetBaudRateException("Set Baudrate Failed");
    }
    worker.setLineSpeed(speed);
    worker.noteSpeedSwitch(speed, true);
    worker.pause(30);
}

void Identify(TCommThread& worker)
{
    std::array<std::uint8_t, 2049> reply{};
    // On the serial line the wait follows the speed: a silent printer is
    // told sooner, and the speed search asks at every speed in turn.
    const std::uint32_t length = worker.linkHasLineSpeed()
        ? ReadRequestWithin(
              worker,
              ShortExchangeTimeouts(worker.lineSpeed(), identifyPacket().size() + kIdentifyReplyBytes),
              kCommandIdentify, 0, kIdentifyProbe, reply)
        : ReadRequest(worker, kCommandIdentify, 0, 1, kIdentifyProbe, reply);
    worker.setDeviceModel(
        modelFromIdentifyPayload(std::span<const std::uint8_t>(reply).first(std::min<std::size_t>(length, reply.size()))));
    worker.setDeviceTypeNumber(TCommThread::kDeviceTypeNumber);
}

void Connect(TCommThread& worker)
{
    try {
        ConfirmedSend(worker, kCommandConnect, 0, kConfirmedSendAttempts, {});
        // The printer restarts into the download: no switch back is owed.
        worker.forgetSpeedSwitch();
    } catch (...) {
        throw ESetBaudRateException("Connecting Failed");
    }
    worker.pause(300);
}

}  // namespace pst
