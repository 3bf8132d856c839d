#include "protocol/settings_payloads.h"

#include <algorithm>

#include "platform/int_conversion.h"
#include "protocol/command_packet.h"
#include "protocol/dotted_address.h"
#include "protocol/input_error.h"
#include "protocol/legacy_text.h"

namespace pst {

namespace {

constexpr LegacyTextField kBluetoothNameField{"Bluetooth name", "sBluetoothNameField"};
constexpr LegacyTextField kBluetoothPasswordField{"Bluetooth password", "sBluetoothPasswordField"};
constexpr LegacyTextField kDualModeNameField{"dual-mode Bluetooth name", "sDualModeNameField"};
constexpr LegacyTextField kSsidField{"SSID", "sSsidField"};
constexpr LegacyTextField kWifiPasswordField{"WiFi password", "sWifiPasswordField"};
constexpr LegacyTextField kBroadcastNameField{"broadcast name", "sBroadcastNameField"};
constexpr LegacyTextField kAccessPointPasswordField{"access-point password", "sAccessPointPasswordField"};
constexpr LegacyTextField kProductNameField{"product name", "sProductNameField"};
constexpr LegacyTextField kSerialNumberField{"product serial number", "sSerialNumberField"};
constexpr LegacyTextField kControlTextField{"Bluetooth control text", "sControlTextField"};

void putI32(ParamBlock& block, std::size_t at, std::int32_t value)
{
    putU32(block.data() + at, static_cast<std::uint32_t>(value));
}

void putBytes(ParamBlock& block, std::size_t at, const std::vector<std::uint8_t>& bytes)
{
    std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
}

// A length byte followed by the text's bytes.
void appendCounted(ParamBlock& block, const std::vector<std::uint8_t>& bytes)
{
    block.push_back(static_cast<std::uint8_t>(bytes.size()));
    block.insert(block.end(), bytes.begin(), bytes.end());
}

// A station address: the window's check on leaving the edit, and four whole
// parts, so that a short form the check lets through (such as 192.168.1)
// is not configured on the printer as 0.0.0.0.
std::array<std::uint8_t, 4> stationAddress(const std::string& text, const char* messageKey)
{
    if (!IsAcceptedAddress(text) || std::count(text.begin(), text.end(), '.') != 3)
        throw EInvalidInput::withMessageKey(messageKey);
    std::array<std::uint8_t, 4> bytes{};
    std::string_view rest = text;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t dot = rest.find('.');
        const std::int32_t value = strToInt(rest.substr(0, dot));
        if (value < 0 || value > 255)
            throw EInvalidInput::withMessageKey(messageKey);
        bytes[i] = static_cast<std::uint8_t>(value);
        rest = dot == std::string_view::npos ? std::string_view{} : rest.substr(dot + 1);
    }
    return bytes;
}

}  // namespace

ParamBlock SwitchOptionsBlock(int densityPosition, int fontPosition, bool cutter, bool buzzer,
                              int paperFeedPosition)
{
    return {OptionFlagsByte(densityPosition, fontPosition, cutter, buzzer), PaperFeedByte(paperFeedPosition)};
}

ParamBlock AllParametersBlock(const AllParameters& p)
{
    ParamBlock block(12, 0);
    block[0] = CodePageByte(p.codePagePosition);
    block[1] = BaudRateSpeedCode(p.baudRatePosition);
    block[2] = OptionFlagsByte(p.densityPosition, p.fontPosition, p.cutter, p.buzzer);
    block[3] = PaperFeedByte(p.paperFeedPosition);
    putI32(block, 4, p.sleepSeconds);
    putI32(block, 8, p.powerOffSeconds);
    return block;
}

ParamBlock BluetoothBlock(const BluetoothParameters& p)
{
    if (p.name.empty() && p.dualModeName.empty())
        throw EInvalidInput::withMessageValues(
            "sBluetoothNamesEmptyMsg", {},
            "Give a Bluetooth name or a dual-mode Bluetooth name: with both empty nothing is sent");
    const std::string& name = p.name.empty() ? p.dualModeName : p.name;
    const std::string& dualName = p.dualModeName.empty() ? p.name : p.dualModeName;

    ParamBlock block(56, 0);
    block[0] = BluetoothModeByte(p.modePosition);
    putBytes(block, 1, EncodeLegacyText(name, kBluetoothNameField, kBluetoothNameBytes));
    putBytes(block, 21, EncodeLegacyText(p.password, kBluetoothPasswordField, kBluetoothPasswordBytes));
    putBytes(block, 34, EncodeLegacyText(dualName, kDualModeNameField, kBluetoothNameBytes));
    block[54] = PasswordCheckByte(p.passwordCheckPosition);
    block[55] = static_cast<std::uint8_t>(strToInt(p.moduleTypeText));
    return block;
}

ParamBlock WifiStationBlock(const WifiStationParameters& p)
{
    const std::int32_t port = strToInt(p.portText);
    if (port < 0 || port > 65535)
        throw EInvalidInput::withMessageValues("sWifiPortRangeMsg", {},
                                               "The WiFi port must be from 0 to 65535");
    const auto ssid = EncodeLegacyText(p.ssid, kSsidField, kWifiTextBytes);
    const auto password = EncodeLegacyText(p.password, kWifiPasswordField, kWifiTextBytes);

    ParamBlock block;
    appendCounted(block, ssid);
    appendCounted(block, password);
    if (p.addressing == WifiAddressing::NotChosen)
        return block;

    std::array<std::uint8_t, 12> addresses{};
    if (p.addressing == WifiAddressing::Static) {
        const auto ip = stationAddress(p.ipAddress, "SIPError");
        const auto mask = stationAddress(p.mask, "SMaskError");
        const auto gateway = stationAddress(p.gateway, "sGatewayError");
        std::copy(ip.begin(), ip.end(), addresses.begin());
        std::copy(mask.begin(), mask.end(), addresses.begin() + 4);
        std::copy(gateway.begin(), gateway.end(), addresses.begin() + 8);
    }
    block.insert(block.end(), addresses.begin(), addresses.end());
    block.push_back(static_cast<std::uint8_t>(port));
    block.push_back(static_cast<std::uint8_t>(port >> 8));
    block.push_back(p.addressing == WifiAddressing::Static ? 1 : 0);
    return block;
}

ParamBlock WifiAccessPointBlock(std::string_view broadcastName, std::string_view password)
{
    ParamBlock block;
    appendCounted(block, EncodeLegacyText(broadcastName, kBroadcastNameField, kWifiTextBytes));
    appendCounted(block, EncodeLegacyText(password, kAccessPointPasswordField, kWifiTextBytes));
    return block;
}

ParamBlock InfraredBlock(int speedPosition, bool enabled, int protocolPosition)
{
    RequirePosition(speedPosition, static_cast<int>(kInfraredSpeedItems.size()), "infrared speed", false);
    RequirePosition(protocolPosition, kIrdaProtocolItemCount, "infrared protocol", false);
    return {static_cast<std::uint8_t>(speedPosition), static_cast<std::uint8_t>(enabled ? 1 : 0),
            static_cast<std::uint8_t>(protocolPosition)};
}

ParamBlock ProductBlock(std::string_view name, std::string_view serialNumber)
{
    if (name.empty())
        throw EInvalidInput::withMessageKey("sMsg1");
    ParamBlock block(40, 0);
    putBytes(block, 0, EncodeLegacyText(name, kProductNameField, kProductFieldBytes));
    putBytes(block, 20, EncodeLegacyText(serialNumber, kSerialNumberField, kProductFieldBytes));
    return block;
}

ParamBlock BluetoothControlTextBlock(std::string_view text)
{
    if (text.empty())
        throw EInvalidInput::withMessageValues("sControlTextEmptyMsg", {},
                                               "The Bluetooth control text is empty: nothing to send");
    ParamBlock block = EncodeLegacyText(text, kControlTextField);
    if (block.size() > kMaxConfirmedPayload) {
        const std::string length = std::to_string(block.size()), room = std::to_string(kMaxConfirmedPayload);
        throw EInvalidInput::withMessageValues("sControlTextTooLongMsg", {length, room},
                                               "The Bluetooth control text is too long: " + length +
                                                   " bytes, at most " + room + " fit in one command");
    }
    return block;
}

ParamBlock BluetoothWorkModeBlock(int workModePosition)
{
    RequirePosition(workModePosition, kWorkModeItemCount, "Bluetooth work mode", false);
    const std::string_view text = workModePosition == 0 ? "AT+HSM=2" : "AT+HSM=0";
    return {text.begin(), text.end()};
}

}  // namespace pst
