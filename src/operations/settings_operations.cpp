#include "operations/settings_operations.h"

#include <array>
#include <optional>
#include <string>

#include "texts/message_texts.h"
#include "engine/comm_thread.h"
#include "protocol/command_packet.h"
#include "engine/exchanges.h"
#include "protocol/input_error.h"
#include "operations/raw_sending.h"
#include "protocol/value_mappings.h"

namespace pst {

namespace {

namespace command {
constexpr std::uint16_t kSetIp = 0x20;
constexpr std::uint16_t kRestoreDefaults = 0x79;
constexpr std::uint16_t kCodePage = 0x80;
constexpr std::uint16_t kBaudRate = 0x81;
constexpr std::uint16_t kSwitchOptions = 0x82;
constexpr std::uint16_t kBluetooth = 0x83;
constexpr std::uint16_t kInfrared = 0x84;
constexpr std::uint16_t kProduct = 0x85;
constexpr std::uint16_t kSleepTimes = 0x86;
constexpr std::uint16_t kBluetoothControl = 0x87;
constexpr std::uint16_t kAllParameters = 0x88;
constexpr std::uint16_t kWifiAccessPoint = 0x89;
constexpr std::uint16_t kWifiStation = 0x8A;
constexpr std::uint16_t kCloseWifi = 0x8B;
constexpr std::uint16_t kRecyclingTime = 0x8C;
constexpr std::uint16_t kFlowControl = 0x8D;
}  // namespace command

struct SettingPacket {
    std::uint16_t command = 0;
    std::uint32_t argument1 = 0;
    std::uint32_t argument2 = 0;
    std::vector<std::uint8_t> payload;
    const char* successKey = "";
};

// The handed-over block, refused before the link is touched when it is not
// the size the command carries (a window that forgot to build it, or an
// old block left from another operation).
std::vector<std::uint8_t> handedOverBlock(const TCommThread& worker, std::size_t minSize, std::size_t maxSize,
                                          const char* what)
{
    const auto& block = worker.RunHandOver().paramBlock;
    if (block.size() < minSize || block.size() > maxSize) {
        std::string expected = std::to_string(minSize);
        if (maxSize != minSize)
            expected += " to " + std::to_string(maxSize);
        throw EInvalidInput("The " + std::string(what) + " were not handed over (" +
                            std::to_string(block.size()) + " bytes, " + expected + " expected)");
    }
    return block;
}

std::vector<std::uint8_t> handedOverBlock(const TCommThread& worker, std::size_t size, const char* what)
{
    return handedOverBlock(worker, size, size, what);
}

// The skeleton of a settings operation. `prepare` builds the packet (and may
// refuse); `confirmed` runs after the success text, before the link closes.
template <typename Prepare, typename AfterConfirmed>
bool runSettingPacket(TCommThread& worker, Prepare prepare, bool restoreSpeed, AfterConfirmed confirmed)
{
    const bool ok = worker.Guarded([&] {
        const SettingPacket packet = prepare();
        worker.OpenLink(worker.Run().comName, worker.Run().transferSpeed);
        ConfirmedSend(worker, packet.command, packet.argument1, kConfirmedSendAttempts, packet.payload,
                      packet.argument2);
        worker.ShowStatus(MessageText(packet.successKey));
        confirmed();
        if (restoreSpeed)
            worker.RestoreLinkSpeed();
    });
    // A failure to close must not hide the failure that came before it.
    if (ok)
        worker.Guarded([&] { worker.CloseLink(); });
    else
        try {
            worker.CloseLink();
        } catch (...) {
        }
    return ok;
}

template <typename Prepare> bool runSettingPacket(TCommThread& worker, Prepare prepare)
{
    return runSettingPacket(worker, prepare, true, [] {});
}

void runBare(TCommThread& worker, std::vector<std::uint8_t> bytes, std::string_view successText = {})
{
    worker.Guarded([&] {
        SendBareRaw(worker, bytes);
        if (!successText.empty())
            worker.ShowStatus(std::string(successText));
    });
}

void runFlowControl(TCommThread& worker, std::uint8_t mode)
{
    const std::array<std::uint8_t, 1> payload{mode};
    runBare(worker, buildCommandPacket(command::kFlowControl, 0, 0, payload), kFlowControlSetText);
}

// Later runs open the port at the printer's new speed.
void rememberDeviceSpeed(TCommThread& worker, std::uint32_t speed)
{
    worker.Connection().update(
        [&](ConnectionSettings& settings) { settings.deviceSpeedText = std::to_string(speed); });
}

std::uint8_t argumentByte(const TCommThread& worker)
{
    return static_cast<std::uint8_t>(worker.Argument1());
}

}  // namespace

void RunSetIp(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kSetIp,
                             static_cast<std::uint32_t>(worker.Argument1()),
                             static_cast<std::uint32_t>(worker.Argument2()),
                             {},
                             "sMsg15"};
    });
}

void RunSetCodePage(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kCodePage, 0, 0, {argumentByte(worker)}, "sMsg17"};
    });
}

void RunSetBaudRate(TCommThread& worker)
{
    std::uint32_t newSpeed = 0;
    auto prepare = [&] {
        const auto speed = SpeedForCode(static_cast<std::uint32_t>(worker.Argument1()));
        if (!speed)
            throw EInvalidInput("No baud rate has the code " + std::to_string(worker.Argument1()));
        newSpeed = *speed;
        return SettingPacket{command::kBaudRate, 0, 0, {argumentByte(worker)}, "sMsg18"};
    };
    // The printer listens at the new speed from now on: switching back to
    // the old one would go unheard.
    runSettingPacket(worker, prepare, false, [&] { rememberDeviceSpeed(worker, newSpeed); });
}

void RunSetSwitchOptions(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kSwitchOptions, 0, 0, handedOverBlock(worker, 2, "switch options"),
                             "sMsg12"};
    });
}

void RunRestoreDefaults(TCommThread& worker)
{
    runSettingPacket(worker, [] { return SettingPacket{command::kRestoreDefaults, 0, 0, {}, "sMsg16"}; });
}

void RunSetBluetooth(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kBluetooth, 0, 0, handedOverBlock(worker, 56, "Bluetooth parameters"),
                             "sMsg13"};
    });
}

void RunSetWifiStation(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        // Two counted texts of at most 32 bytes, then the addresses.
        return SettingPacket{command::kWifiStation, 0, 0,
                             handedOverBlock(worker, 2, 2 + 2 * 32 + 15, "WiFi station parameters"), "sMsg7"};
    });
}

void RunCloseWifi(TCommThread& worker)
{
    const bool ok = runSettingPacket(worker, [] {
        return SettingPacket{command::kCloseWifi, 0, 0, {}, "sMsg5"};
    });
    if (!ok && worker.ErrorCode() == 1)
        worker.ShowStatus(worker.Status().error());
}

void RunSetInfrared(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kInfrared, 0, 0, handedOverBlock(worker, 3, "infrared parameters"),
                             "sMsg8"};
    });
}

void RunSetProduct(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kProduct, 0, 0, handedOverBlock(worker, 40, "product parameters"),
                             "sMsg9"};
    });
}

void RunSetSleepTimes(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kSleepTimes, 0, 0,
                             handedOverBlock(worker, 8, "sleep and power-off times"), "sMsg10"};
    });
}

void RunSetAllParameters(TCommThread& worker)
{
    std::optional<std::uint32_t> newSpeed;
    auto prepare = [&] {
        SettingPacket packet{command::kAllParameters, 0, 0, handedOverBlock(worker, 12, "basic parameters"),
                             "sMsg11"};
        newSpeed = SpeedForCode(packet.payload[1]);
        return packet;
    };
    // The block carries the printer's serial speed as well: like the
    // baud-rate setting, later runs must open the port at it.
    runSettingPacket(worker, prepare, true, [&] {
        if (newSpeed)
            rememberDeviceSpeed(worker, *newSpeed);
    });
}

void RunSetWifiAccessPoint(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kWifiAccessPoint, 0, 0,
                             handedOverBlock(worker, 2, 2 + 2 * 32, "WiFi access-point parameters"), "sMsg6"};
    });
}

void RunSendBluetoothControl(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kBluetoothControl, 0, 0,
                             handedOverBlock(worker, 1, kMaxConfirmedPayload, "Bluetooth control text"),
                             "sMsg14"};
    });
}

void RunSetRecyclingTime(TCommThread& worker)
{
    runSettingPacket(worker, [&] {
        return SettingPacket{command::kRecyclingTime, 0, 0,
                             handedOverBlock(worker, 1, "receipt recycling time"), "sMsg22"};
    });
}

void RunRawPair8D00(TCommThread& worker)
{
    runBare(worker, {0x8D, 0x00});
}

void RunBluetoothHidingOff(TCommThread& worker)
{
    runBare(worker, {0x8E, 0x00});
}

void RunRawPair8D01(TCommThread& worker)
{
    runBare(worker, {0x8D, 0x01});
}

void RunBluetoothHidingOn(TCommThread& worker)
{
    runBare(worker, {0x8E, 0x01});
}

void RunFlowControlSoftware(TCommThread& worker)
{
    runFlowControl(worker, 0x00);
}

void RunFlowControlHardware(TCommThread& worker)
{
    runFlowControl(worker, 0x01);
}

}  // namespace pst
