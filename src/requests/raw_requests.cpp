#include "requests/raw_requests.h"

#include "requests/field_refusal.h"
#include "requests/setting_ranges.h"

namespace pst::requests {

namespace {

// Each command's length on the line: the black-mark mode and value
// commands, the interface options, the two search commands, each stored
// logo's print command.
constexpr std::size_t kBlackMarkModeBytes = 8;
constexpr std::size_t kBlackMarkValueBytes = 9;
constexpr std::size_t kInterfaceOptionBytes = 3;
constexpr std::size_t kFindBlackMarkBytes = 1;
constexpr std::size_t kFindBlackMarkAndCutBytes = 3;
constexpr std::size_t kLogoPrintBytes = 4;

Request opened(Operation operation, std::size_t bytes, ParamBlock block = {}, bool refresh = false)
{
    Request r;
    r.operation = operation;
    r.handOver.paramBlock = std::move(block);
    r.sending = Sending::Opened;
    r.bytesToSend = bytes;
    r.refreshConnection = refresh;
    return r;
}

Request bareEthernetField(Operation operation, EthernetField field, ParamBlock block)
{
    Request r;
    r.operation = operation;
    r.handOver.paramBlock = std::move(block);
    r.sending = Sending::Bare;
    r.bytesToSend = 2 + EthernetFieldBytes(field);
    return r;
}

}  // namespace

Request BlackMarkModeRequest()
{
    return opened(Operation::SetBlackMarkMode, kBlackMarkModeBytes);
}

Request CancelBlackMarkRequest()
{
    return opened(Operation::CancelBlackMark, kBlackMarkModeBytes);
}

Request BlackMarkDistanceRequest(std::int32_t millimetres)
{
    return opened(Operation::SetBlackMarkDistance, kBlackMarkValueBytes, BlackMarkDistanceBlock(FieldValue(kBlackMarkDistanceField, millimetres)), true);
}

Request BlackMarkDistanceRequest(std::string_view text)
{
    return BlackMarkDistanceRequest(FieldValue(kBlackMarkDistanceField, text));
}

Request BlackMarkWidthRequest(std::int32_t millimetres)
{
    return opened(Operation::SetBlackMarkWidth, kBlackMarkValueBytes, BlackMarkWidthBlock(FieldValue(kBlackMarkWidthField, millimetres)), true);
}

Request BlackMarkWidthRequest(std::string_view text)
{
    return BlackMarkWidthRequest(FieldValue(kBlackMarkWidthField, text));
}

Request FeedAfterMarkRequest(std::int32_t millimetres)
{
    return opened(Operation::SetFeedAfterMark, kBlackMarkValueBytes, FeedAfterMarkBlock(FieldValue(kFeedAfterMarkField, millimetres)), true);
}

Request FeedAfterMarkRequest(std::string_view text)
{
    return FeedAfterMarkRequest(FieldValue(kFeedAfterMarkField, text));
}

Request FindBlackMarkRequest()
{
    return opened(Operation::FindBlackMark, kFindBlackMarkBytes);
}

Request FindBlackMarkAndCutRequest()
{
    return opened(Operation::FindBlackMarkAndCut, kFindBlackMarkAndCutBytes);
}

Request BlackMarkTestPrintRequest()
{
    ParamBlock receipt = HexTextToBlock(kTestReceiptHex);
    const std::size_t bytes = receipt.size();
    return opened(Operation::BlackMarkTestPrint, bytes, std::move(receipt));
}

Request EthernetAddressRequest(EthernetField field, std::string_view dottedText)
{
    Operation operation = Operation::SetEthernetIp;
    const SettingField* typed = &kEthernetIpField;
    if (field == EthernetField::SubnetMask) {
        operation = Operation::SetEthernetMask;
        typed = &kEthernetMaskField;
    } else if (field == EthernetField::Gateway) {
        operation = Operation::SetEthernetGateway;
        typed = &kEthernetGatewayField;
    }
    const auto bytes = FieldAddress(*typed, dottedText);
    return bareEthernetField(operation, field, ParamBlock(bytes.begin(), bytes.end()));
}

Request EthernetMacRequest(const std::array<std::string, 4>& hexTexts)
{
    for (std::size_t i = 0; i < hexTexts.size(); ++i)
        FieldValue(kMacByteFields[i], hexTexts[i]);
    return bareEthernetField(Operation::SetEthernetMac, EthernetField::Mac, EthernetMacBlock(hexTexts));
}

Request EthernetPortRequest(std::string_view portText)
{
    FieldValue(kEthernetPortField, portText);
    return bareEthernetField(Operation::SetEthernetPort, EthernetField::Port, EthernetPortBlock(portText));
}

MaybeRequest InterfaceOptionRequest(InterfaceOption option, int position)
{
    if (position == kNoSelection)
        return std::nullopt;
    Request r = opened(Operation::SetInterfaceOption, kInterfaceOptionBytes);
    r.argument1 = static_cast<std::int32_t>(option);
    r.argument2 = position;
    return r;
}

Request PrintLogosRequest(const std::vector<int>& numbers)
{
    Request r = opened(Operation::PrintLogos, kLogoPrintBytes * numbers.size(), {}, true);
    r.handOver.logoPrintList = LogoPrintList(numbers);
    return r;
}

}  // namespace pst::requests
