#include "engine/link_setup.h"

#include <array>
#include <cctype>

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
    static constexpr std::array<std::uint8_t, 8> kProbe{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    std::array<std::uint8_t, 2049> reply{};
    ReadRequest(worker, kCommandIdentify, 0, 1, kProbe, reply);

    std::string model;
    for (std::size_t i = 0; i < 8 && reply[i] != 0; ++i)
        model.push_back(static_cast<char>(std::toupper(reply[i])));
    worker.SetDeviceModel(model);
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
