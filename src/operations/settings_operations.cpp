#include "operations/settings_operations.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>

#include "engine/exchanges.h"
#include "engine/operation_context.h"
#include "operations/confirmed_settings.h"
#include "operations/raw_sending.h"
#include "protocol/command_packet.h"
#include "protocol/input_error.h"
#include "protocol/value_mappings.h"
#include "texts/message_texts.h"

namespace pst {

namespace {

namespace command {
constexpr std::uint16_t kSetIp = 0x20;
constexpr std::uint16_t kCodePage = 0x80;
constexpr std::uint16_t kBaudRate = 0x81;
constexpr std::uint16_t kAllParameters = 0x88;
constexpr std::uint16_t kCloseWifi = 0x8B;
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
std::vector<std::uint8_t> handedOverBlock(const OperationContext& context, std::size_t minSize,
                                          std::size_t maxSize, const char* what)
{
    const auto& block = context.handOver().paramBlock;
    if (block.size() < minSize || block.size() > maxSize) {
        std::string expected = std::to_string(minSize);
        if (maxSize != minSize)
            expected += " to " + std::to_string(maxSize);
        throw EInvalidInput("The " + std::string(what) + " were not handed over (" +
                            std::to_string(block.size()) + " bytes, " + expected + " expected)");
    }
    return block;
}

std::vector<std::uint8_t> handedOverBlock(const OperationContext& context, std::size_t size, const char* what)
{
    return handedOverBlock(context, size, size, what);
}

// A failure to close must not hide the failure that came before it: the
// run keeps that failure's code and text, and the close failure is only
// noted as what lay behind the run's end.
void closeAfterFailure(OperationContext& context)
{
    try {
        context.closeLink();
    } catch (const std::exception& closeFailure) {
        context.noteFailureCause(closeFailure);
    } catch (...) {
        context.noteFailureCause(std::runtime_error("Undefined Error"));
    }
}

// The skeleton of a settings operation. `prepare` builds the packet (and may
// refuse); `confirmed` runs after the success text, before the link closes.
template <typename Prepare, typename AfterConfirmed>
bool runSettingPacket(OperationContext& context, Prepare prepare, bool restoreSpeed, AfterConfirmed confirmed)
{
    const bool ok = context.guarded([&] {
        const SettingPacket packet = prepare();
        context.openLink();
        context.confirmedSend(packet.command, packet.argument1, kConfirmedSendAttempts, packet.payload,
                              packet.argument2);
        context.showStatus(MessageText(packet.successKey));
        confirmed();
        if (restoreSpeed)
            context.restoreLinkSpeed();
    });
    if (ok)
        context.guarded([&] { context.closeLink(); });
    else
        closeAfterFailure(context);
    return ok;
}

template <typename Prepare> bool runSettingPacket(OperationContext& context, Prepare prepare)
{
    return runSettingPacket(context, prepare, true, [] {});
}

void runBare(OperationContext& context, std::vector<std::uint8_t> bytes, std::string_view sentKey = kSentNoReplyKey)
{
    context.guarded([&] { SendBareRaw(context, bytes, sentKey); });
}

void runFlowControl(OperationContext& context, std::uint8_t mode)
{
    const std::array<std::uint8_t, 1> payload{mode};
    runBare(context, buildCommandPacket(command::kFlowControl, 0, 0, payload), "sFlowControlSentMsg");
}

std::uint8_t argumentByte(const OperationContext& context)
{
    return static_cast<std::uint8_t>(context.argument1());
}

}  // namespace

void RunSetIp(OperationContext& context)
{
    runSettingPacket(context, [&] {
        return SettingPacket{command::kSetIp,
                             static_cast<std::uint32_t>(context.argument1()),
                             static_cast<std::uint32_t>(context.argument2()),
                             {},
                             "sMsg15"};
    });
}

void RunSetCodePage(OperationContext& context)
{
    runSettingPacket(context, [&] {
        return SettingPacket{command::kCodePage, 0, 0, {argumentByte(context)}, "sMsg17"};
    });
}

void RunSetBaudRate(OperationContext& context)
{
    std::uint32_t newSpeed = 0;
    auto prepare = [&] {
        const auto speed = SpeedForCode(static_cast<std::uint32_t>(context.argument1()));
        if (!speed)
            throw EInvalidInput("No baud rate has the code " + std::to_string(context.argument1()));
        newSpeed = *speed;
        return SettingPacket{command::kBaudRate, 0, 0, {argumentByte(context)}, "sMsg18"};
    };
    // The printer listens at the new speed from now on: switching back to
    // the old one would go unheard.
    runSettingPacket(context, prepare, false, [&] { context.rememberDeviceSpeed(newSpeed); });
}

void RunCloseWifi(OperationContext& context)
{
    const bool ok = runSettingPacket(context, [] {
        return SettingPacket{command::kCloseWifi, 0, 0, {}, "sMsg5"};
    });
    if (!ok && context.errorCode() == 1)
        context.showStatus(context.errorText());
}

void RunSetAllParameters(OperationContext& context)
{
    std::optional<std::uint32_t> newSpeed;
    auto prepare = [&] {
        SettingPacket packet{command::kAllParameters, 0, 0, handedOverBlock(context, 12, "basic parameters"),
                             "sMsg11"};
        newSpeed = SpeedForCode(packet.payload[1]);
        return packet;
    };
    // The block carries the printer's serial speed as well: like the
    // baud-rate setting, later runs must open the port at it.
    runSettingPacket(context, prepare, true, [&] {
        if (newSpeed)
            context.rememberDeviceSpeed(*newSpeed);
    });
}

void RunConfirmedSetting(OperationContext& context)
{
    const ConfirmedSetting* setting = nullptr;
    for (const ConfirmedSetting& candidate : kConfirmedSettings)
        if (operationNumber(candidate.operation) == context.operationNumber())
            setting = &candidate;
    if (!setting)
        throw std::logic_error("not a confirmed setting");
    runSettingPacket(context, [&] {
        // A command without a block ignores whatever was handed over.
        std::vector<std::uint8_t> block;
        if (setting->maxBytes > 0)
            block = handedOverBlock(context, setting->minBytes, setting->maxBytes, setting->what);
        return SettingPacket{setting->command, 0, 0, std::move(block), setting->successKey};
    });
}

void RunRawPair8D00(OperationContext& context)
{
    runBare(context, {0x8D, 0x00});
}

void RunBluetoothHidingOff(OperationContext& context)
{
    runBare(context, {0x8E, 0x00});
}

void RunRawPair8D01(OperationContext& context)
{
    runBare(context, {0x8D, 0x01});
}

void RunBluetoothHidingOn(OperationContext& context)
{
    runBare(context, {0x8E, 0x01});
}

void RunFlowControlSoftware(OperationContext& context)
{
    runFlowControl(context, 0x00);
}

void RunFlowControlHardware(OperationContext& context)
{
    runFlowControl(context, 0x01);
}

}  // namespace pst
