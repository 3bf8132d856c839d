#include "requests/settings_requests.h"

#include "platform/int_conversion.h"
#include "requests/field_refusal.h"
#include "requests/setting_ranges.h"

namespace pst::requests {

namespace {

// Flow control goes out as a whole bare packet; the hiding and 8D switches
// as two bytes.
constexpr std::size_t kFlowControlPacketBytes = 18;
constexpr std::size_t kPairBytes = 2;

Request packet(Operation operation, ParamBlock block = {}, bool refresh = false)
{
    Request r;
    r.operation = operation;
    r.handOver.paramBlock = std::move(block);
    r.refreshConnection = refresh;
    return r;
}

Request withArguments(Operation operation, std::int32_t argument1, std::int32_t argument2, bool refresh)
{
    Request r = packet(operation, {}, refresh);
    r.argument1 = argument1;
    r.argument2 = argument2;
    return r;
}

Request bare(Operation operation, std::size_t bytes)
{
    Request r = packet(operation);
    r.sending = Sending::Bare;
    r.bytesToSend = bytes;
    return r;
}

constexpr bool selected(int position)
{
    return position != kNoSelection;
}

}  // namespace

MaybeRequest BaudRateRequest(int baudRatePosition)
{
    if (!selected(baudRatePosition))
        return std::nullopt;
    Request r = withArguments(Operation::SetBaudRate, BaudRateSpeedCode(baudRatePosition), 0, true);
    r.newDeviceSpeed = SpeedForCode(static_cast<std::uint32_t>(r.argument1));
    return r;
}

MaybeRequest FlowControlRequest(int flowControlPosition)
{
    if (!selected(flowControlPosition))
        return std::nullopt;
    return bare(flowControlPosition == 0 ? Operation::FlowControlSoftware : Operation::FlowControlHardware,
                kFlowControlPacketBytes);
}

MaybeRequest CodePageRequest(int codePagePosition)
{
    if (!selected(codePagePosition))
        return std::nullopt;
    return withArguments(Operation::SetCodePage, CodePageByte(codePagePosition), 0, true);
}

Request SwitchOptionsRequest(int densityPosition, int fontPosition, bool cutter, bool buzzer,
                             int paperFeedPosition, Operation operation)
{
    return packet(operation, SwitchOptionsBlock(densityPosition, fontPosition, cutter, buzzer, paperFeedPosition),
                  true);
}

Request AllParametersRequest(const AllParameters& parameters)
{
    FieldValue(kSleepTimeField, parameters.sleepSeconds);
    FieldValue(kPowerOffTimeField, parameters.powerOffSeconds);
    Request r = packet(Operation::SetAllParameters, AllParametersBlock(parameters), true);
    r.newDeviceSpeed = SpeedForCode(r.handOver.paramBlock[1]);
    return r;
}

Request AllParametersRequest(const BasicPageValues& v)
{
    AllParameters p;
    p.codePagePosition = v.codePagePosition;
    p.baudRatePosition = v.baudRatePosition;
    p.densityPosition = v.densityPosition;
    p.fontPosition = v.fontPosition;
    p.cutter = v.cutter;
    p.buzzer = v.buzzer;
    p.paperFeedPosition = v.paperFeedPosition;
    p.sleepSeconds = FieldValue(kSleepTimeField, v.sleepText);
    p.powerOffSeconds = FieldValue(kPowerOffTimeField, v.powerOffText);
    return AllParametersRequest(p);
}

Request RestoreDefaultsRequest()
{
    return packet(Operation::RestoreDefaults, {}, true);
}

Request ProductRequest(std::string_view name, std::string_view serialNumber)
{
    return packet(Operation::SetProduct, ProductBlock(name, FieldDigits(kSerialNumberField, serialNumber)));
}

MaybeRequest BluetoothHidingRequest(int hidingPosition)
{
    if (!selected(hidingPosition))
        return std::nullopt;
    return bare(hidingPosition == 0 ? Operation::BluetoothHidingOn : Operation::BluetoothHidingOff, kPairBytes);
}

Request BluetoothRequest(const BluetoothParameters& parameters)
{
    BluetoothParameters checked = parameters;
    // Written as the number read, so that the block reads what was checked.
    checked.moduleTypeText = std::to_string(FieldValue(kBluetoothTypeField, parameters.moduleTypeText));
    return packet(Operation::SetBluetooth, BluetoothBlock(checked));
}

MaybeRequest BluetoothWorkModeRequest(int workModePosition)
{
    if (!selected(workModePosition))
        return std::nullopt;
    return packet(Operation::SendBluetoothControl, BluetoothWorkModeBlock(workModePosition));
}

Request BluetoothControlTextRequest(std::string_view text)
{
    return packet(Operation::SendBluetoothControl, BluetoothControlTextBlock(text));
}

MaybeRequest BluetoothControlTextRequestIfGiven(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    return BluetoothControlTextRequest(text);
}

Request AccessPointRequest(std::string_view broadcastName, std::string_view password)
{
    return packet(Operation::SetWifiAccessPoint, WifiAccessPointBlock(broadcastName, password));
}

Request StationRequest(const WifiStationParameters& parameters)
{
    FieldValue(kStationPortField, parameters.portText);
    if (parameters.addressing == WifiAddressing::Static) {
        FieldAddress(kStationIpField, parameters.ipAddress);
        FieldAddress(kStationMaskField, parameters.mask);
        FieldAddress(kStationGatewayField, parameters.gateway);
    }
    return packet(Operation::SetWifiStation, WifiStationBlock(parameters));
}

Request CloseWifiRequest()
{
    return packet(Operation::CloseWifi);
}

MaybeRequest InfraredRequest(int speedPosition, bool enabled, int protocolPosition)
{
    if (!selected(speedPosition) || !selected(protocolPosition))
        return std::nullopt;
    return packet(Operation::SetInfrared, InfraredBlock(speedPosition, enabled, protocolPosition));
}

Request SetIpRequest(std::int32_t first, std::int32_t second)
{
    return withArguments(Operation::SetIp, first, second, false);
}

Request RawPair8DRequest(int value)
{
    return bare(value == 0 ? Operation::RawPair8D00 : Operation::RawPair8D01, kPairBytes);
}

std::optional<std::string> SteppedSerialNumber(std::string_view serialText, bool minus, bool plus)
{
    if (serialText.empty() || (!minus && !plus))
        return std::nullopt;
    // Wider than the conversion, so that the step never overflows.
    const std::int64_t value = strToInt(serialText);
    return std::to_string(minus ? value - 1 : value + 1);
}

}  // namespace pst::requests
