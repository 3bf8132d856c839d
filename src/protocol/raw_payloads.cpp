#include "protocol/raw_payloads.h"

#include <algorithm>

#include "platform/int_conversion.h"
#include "protocol/dotted_address.h"
#include "protocol/input_error.h"

namespace pst {

namespace {

ParamBlock highFirst(std::int32_t value)
{
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

ParamBlock lowFirst(std::int32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

RawBytes withValue(RawBytes command, const ParamBlock& block)
{
    if (block.size() < 2)
        throw EInvalidInput("The black-mark value was not handed over");
    command.push_back(block[0]);
    command.push_back(block[1]);
    return command;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

ParamBlock BlackMarkDistanceBlock(std::int32_t millimetres)
{
    return highFirst(millimetres);
}

ParamBlock BlackMarkWidthBlock(std::int32_t millimetres)
{
    return highFirst(millimetres);
}

ParamBlock FeedAfterMarkBlock(std::int32_t millimetres)
{
    return lowFirst(millimetres);
}

RawBytes BlackMarkModeCommand()
{
    return {0x1F, 0x1B, 0x1F, 0x80, 0x04, 0x05, 0x06, 0x44};
}

RawBytes CancelBlackMarkCommand()
{
    return {0x1F, 0x1B, 0x1F, 0x80, 0x04, 0x05, 0x06, 0x66};
}

RawBytes BlackMarkDistanceCommand(const ParamBlock& block)
{
    return withValue({0x1F, 0x1B, 0x1F, 0x81, 0x04, 0x05, 0x06}, block);
}

RawBytes BlackMarkWidthCommand(const ParamBlock& block)
{
    return withValue({0x1F, 0x1B, 0x1F, 0x82, 0x04, 0x05, 0x06}, block);
}

RawBytes FeedAfterMarkCommand(const ParamBlock& block)
{
    return withValue({0x1D, 0x28, 0x46, 0x04, 0x00, 0x01, 0x00}, block);
}

RawBytes FindBlackMarkCommand()
{
    return {0x0C};
}

RawBytes FindBlackMarkAndCutCommand()
{
    return {0x0C, 0x1B, 0x69};
}

ParamBlock EthernetAddressBlock(std::string_view dotted)
{
    const auto parts = ParseDottedQuad(dotted);
    return {parts.begin(), parts.end()};
}

ParamBlock EthernetMacBlock(const std::array<std::string, 4>& hexTexts)
{
    ParamBlock block;
    for (const std::string& text : hexTexts) {
        const auto value = parseHexInt32(text);
        if (!value)
            throw EConvertError::forText(text);
        // Only the low byte goes out: a larger number would be sent as
        // another byte than the one typed.
        if (static_cast<std::uint32_t>(*value) > 0xFF)
            throw EInvalidInput::withMessageKey("sMacByteError", " (" + text + ")");
        block.push_back(static_cast<std::uint8_t>(*value));
    }
    return block;
}

ParamBlock EthernetPortBlock(std::string_view text)
{
    const std::int32_t port = strToInt(text);
    if (port < 2 || port > 65535)
        throw EInvalidInput::withMessageValues("sNetPortRangeMsg", {}, "The port must be from 2 to 65535");
    return highFirst(port);
}

RawBytes EthernetFieldCommand(EthernetField field, const ParamBlock& block)
{
    if (block.size() != EthernetFieldBytes(field))
        throw EInvalidInput("The Ethernet field was not handed over whole (" + std::to_string(block.size()) +
                            " bytes, " + std::to_string(EthernetFieldBytes(field)) + " expected)");
    RawBytes command(2 + block.size());
    command[0] = 0x1F;
    command[1] = static_cast<std::uint8_t>(field);
    std::copy(block.begin(), block.end(), command.begin() + 2);
    return command;
}

RawBytes InterfaceOptionCommand(InterfaceOption option, int position)
{
    const std::uint8_t value = InterfaceOptionByte(option, position);
    switch (option) {
    case InterfaceOption::UsbDeviceType:
        return {0x12, 0x55, value};
    case InterfaceOption::PaperType:
        return {0x1F, 0x41, value};
    case InterfaceOption::PrintOrder:
        return {0x1B, 0x7B, value};
    }
    return {};
}

std::string LogoPrintList(const std::vector<int>& positions)
{
    std::string list;
    for (int position : positions) {
        if (!list.empty())
            list += ',';
        list += std::to_string(position);
    }
    return list;
}

std::vector<std::uint8_t> ParseLogoPrintList(std::string_view list)
{
    std::vector<std::uint8_t> numbers;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        const auto value = parseInt32(item);
        if (!value || *value < 1 || *value > kMaxLogoNumber)
            throw EInvalidInput::withMessageValues(
                "sLogoNumberRangeMsg", {std::to_string(kMaxLogoNumber), std::string(item)},
                "Logo numbers run from 1 to " + std::to_string(kMaxLogoNumber) + ", not '" +
                    std::string(item) + "'");
        numbers.push_back(static_cast<std::uint8_t>(*value));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    if (numbers.empty())
        throw EInvalidInput::withMessageValues("sNoLogoChosenMsg", {}, "No logo chosen to print");
    return numbers;
}

RawBytes LogoPrintCommand(std::uint8_t number)
{
    return {0x1C, 0x70, number, 0x00};
}

const std::string_view kTestReceiptHex =
    "1B401B61011B210057656C636F6D6520746F207072696E74657220426C61636B4D61726B2066756E6374696F6E0d0a1B3900BB"
    "B6D3ADCAB9D3C3BADAB1EAB9A6C4DC0D0A1B3903C577AAEFA8CFA5CEB6C2BCD0A55CAFE00D0A1d286b03003143041d286b0300"
    "3145301d286b720031503057656c636f6d6520746f207072696e74657220426c61636b4d61726b2066756e6374696f6e0ae6ac"
    "a2e8bf8ee4bdbfe794a8e68993e58db0e69cbae79a84e9bb91e6a087e58a9fe883bd0ae6ada1e8bf8ee4bdbfe794a8e58db0e8"
    "a1a8e6a99fe79a84e9bb91e6a899e58a9fe883bd1d286b03003151300C1B69";

ParamBlock HexTextToBlock(std::string_view hexText)
{
    ParamBlock block;
    block.reserve((hexText.size() + 1) / 2);
    for (std::size_t i = 0; i < hexText.size(); i += 2) {
        const int high = hexDigit(hexText[i]);
        if (i + 1 == hexText.size()) {
            block.push_back(high < 0 ? 0 : static_cast<std::uint8_t>(high));
            break;
        }
        const int low = hexDigit(hexText[i + 1]);
        block.push_back(high < 0 || low < 0 ? 0 : static_cast<std::uint8_t>(high * 16 + low));
    }
    return block;
}

}  // namespace pst
