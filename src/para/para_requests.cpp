#include "para/para_requests.h"

#include "platform/int_conversion.h"

namespace pst::para {

namespace {

ParaRequest request(int operation, ParamBlock block = {}, bool refresh = false)
{
    ParaRequest r;
    r.operation = operation;
    r.handOver.paramBlock = std::move(block);
    r.refreshConnection = refresh;
    return r;
}

ParaRequest withArguments(int operation, std::int32_t argument1, std::int32_t argument2, bool refresh)
{
    ParaRequest r = request(operation, {}, refresh);
    r.argument1 = argument1;
    r.argument2 = argument2;
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
    return withArguments(8, BaudRateSpeedCode(baudRatePosition), 0, true);
}

MaybeRequest FlowControlRequest(int flowControlPosition)
{
    if (!selected(flowControlPosition))
        return std::nullopt;
    return request(flowControlPosition == 0 ? 42 : 43);
}

MaybeRequest CodePageRequest(int codePagePosition)
{
    if (!selected(codePagePosition))
        return std::nullopt;
    return withArguments(6, CodePageByte(codePagePosition), 0, true);
}

ParaRequest SwitchOptionsRequest(int densityPosition, int fontPosition, bool cutter, bool buzzer,
                                 int paperFeedPosition)
{
    return request(20, SwitchOptionsBlock(densityPosition, fontPosition, cutter, buzzer, paperFeedPosition),
                   true);
}

ParaRequest SleepTimesRequest(std::string_view sleepText, std::string_view powerOffText)
{
    return request(18, SleepBlock(SleepSecondsFromText(sleepText), PowerOffSecondsFromText(powerOffText)),
                   true);
}

ParaRequest AllParametersRequest(const BasicPageValues& v)
{
    AllParameters p;
    p.codePagePosition = v.codePagePosition;
    p.baudRatePosition = v.baudRatePosition;
    p.densityPosition = v.densityPosition;
    p.fontPosition = v.fontPosition;
    p.cutter = v.cutter;
    p.buzzer = v.buzzer;
    p.paperFeedPosition = v.paperFeedPosition;
    p.sleepSeconds = SleepSecondsFromText(v.sleepText);
    p.powerOffSeconds = PowerOffSecondsFromText(v.powerOffText);
    return request(19, AllParametersBlock(p), true);
}

ParaRequest RestoreDefaultsRequest()
{
    return request(10, {}, true);
}

ParaRequest ProductRequest(std::string_view name, std::string_view serialNumber)
{
    return request(15, ProductBlock(name, serialNumber));
}

MaybeRequest InterfaceOptionRequest(InterfaceOption option, int position)
{
    if (!selected(position))
        return std::nullopt;
    return withArguments(23, static_cast<std::int32_t>(option), position, false);
}

ParaRequest RecyclingTimeRequest(std::string_view secondsText)
{
    return request(24, RecyclingTimeBlock(RecyclingSecondsFromText(secondsText)), true);
}

MaybeRequest BluetoothHidingRequest(int hidingPosition)
{
    if (!selected(hidingPosition))
        return std::nullopt;
    return request(hidingPosition == 0 ? 30 : 27);
}

MaybeRequest BluetoothRequest(const BluetoothParameters& parameters)
{
    if (parameters.name.empty() && parameters.dualModeName.empty())
        return std::nullopt;
    return request(11, BluetoothBlock(parameters));
}

MaybeRequest BluetoothWorkModeRequest(int workModePosition)
{
    if (!selected(workModePosition))
        return std::nullopt;
    return request(22, BluetoothWorkModeBlock(workModePosition));
}

MaybeRequest BluetoothControlTextRequest(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    return request(22, BluetoothControlTextBlock(text));
}

ParaRequest AccessPointRequest(std::string_view broadcastName, std::string_view password)
{
    return request(21, WifiAccessPointBlock(broadcastName, password));
}

ParaRequest StationRequest(const WifiStationParameters& parameters)
{
    return request(12, WifiStationBlock(parameters));
}

ParaRequest CloseWifiRequest()
{
    return request(13);
}

MaybeRequest InfraredRequest(int speedPosition, bool enabled, int protocolPosition)
{
    if (!selected(speedPosition) || !selected(protocolPosition))
        return std::nullopt;
    return request(14, InfraredBlock(speedPosition, enabled, protocolPosition));
}

ParaRequest EthernetAddressRequest(EthernetField field, std::string_view dottedText)
{
    int operation = 41;
    if (field == EthernetField::SubnetMask)
        operation = 37;
    else if (field == EthernetField::Gateway)
        operation = 38;
    return request(operation, EthernetAddressBlock(dottedText));
}

ParaRequest EthernetMacRequest(const std::array<std::string, 4>& hexTexts)
{
    return request(40, EthernetMacBlock(hexTexts));
}

MaybeRequest EthernetPortRequest(std::string_view portText)
{
    const std::int32_t port = strToInt(portText);
    if (port < 2 || port > 65535)
        return std::nullopt;
    return request(39, EthernetPortBlock(portText));
}

ParaRequest BlackMarkModeRequest()
{
    return request(31);
}

ParaRequest CancelBlackMarkRequest()
{
    return request(32);
}

ParaRequest BlackMarkDistanceRequest(std::string_view text)
{
    return request(33, BlackMarkDistanceBlock(BlackMarkDistanceFromText(text)), true);
}

ParaRequest BlackMarkWidthRequest(std::string_view text)
{
    return request(34, BlackMarkWidthBlock(BlackMarkWidthFromText(text)), true);
}

ParaRequest FeedAfterMarkRequest(std::string_view text)
{
    return request(35, FeedAfterMarkBlock(FeedAfterMarkFromText(text)), true);
}

ParaRequest FindBlackMarkRequest()
{
    return request(36);
}

ParaRequest FindBlackMarkAndCutRequest()
{
    return request(44);
}

ParaRequest BlackMarkTestPrintRequest()
{
    return request(45, HexTextToBlock(kTestReceiptHex));
}

std::optional<std::string> SteppedSerialNumber(std::string_view serialText, bool minus, bool plus)
{
    if (serialText.empty() || (!minus && !plus))
        return std::nullopt;
    // Wider than the conversion, so that the step never overflows.
    const std::int64_t value = strToInt(serialText);
    return std::to_string(minus ? value - 1 : value + 1);
}

}  // namespace pst::para
