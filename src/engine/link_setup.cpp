#include "engine/link_setup.h"

#include <array>
#include <algorithm>

#include "engine/comm_thread.h"
#include "protocol/errors.h"
#include "engine/exchanges.h"
#include "protocol/speed_code.h"

namespace pst {

void SwitchLinkSpeed(TCommThread& worker, std::uint32_t speed)
{
    // The packet moves the printer's serial line: over the network or USB it
    // would change a speed this run does not use, and a setting just made
    // could end in a failed switch.
    if (!worker.OnSerialLink() || speed == worker.LineSpeed())
        return;
    worker.Pause(30);
    try {
        ConfirmedSend(worker, kCommandSwitchSpeed, SpeedCode(speed), 1, {});
    } catch (...) {
        worker.NoteSpeedSwitch(speed, false);
        throw ESetBaudRateException("Set Baudrate Failed");
    }
    worker.SetLineSpeed(speed);
    worker.NoteSpeedSwitch(speed, true);
    worker.Pause(30);
}

void Identify(TCommThread& worker)
{
    std::array<std::uint8_t, 2049> reply{};
    const std::uint32_t length = ReadRequest(worker, kCommandIdentify, 0, 1, kIdentifyProbe, reply);
    worker.SetDeviceModel(
        modelFromIdentifyPayload(std::span<const std::uint8_t>(reply).first(std::min<std::size_t>(length, reply.size()))));
    worker.SetDeviceTypeNumber(TCommThread::kDeviceTypeNumber);
}

void Connect(TCommThread& worker)
{
    try {
        ConfirmedSend(worker, kCommandConnect, 0, kConfirmedSendAttempts, {});
        // The printer restarts into the download: no switch back is owed.
        worker.ForgetSpeedSwitch();
    } catch (...) {
        throw ESetBaudRateException("Connecting Failed");
    }
    worker.Pause(300);
}

}  // namespace pst
