// The texts the raw commands are built from: the hexadecimal text of a raw
// block, the list of logos to print and the Ethernet fields. Each is either
// refused with the conversion's or an input error, or gives exactly the
// bytes the text names, and the command built from them carries them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "protocol/raw_payloads.h"

namespace {

// One hexadecimal digit's value, looked up rather than computed, as the
// oracle.
int hexValue(char c)
{
    constexpr std::string_view kDigits = "0123456789abcdef0123456789ABCDEF";
    const std::size_t at = kDigits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at % 16);
}

void checkHexText(std::string_view text)
{
    const pst::ParamBlock block = pst::HexTextToBlock(text);
    PST_FUZZ_CHECK(block.size() == (text.size() + 1) / 2);
    for (std::size_t i = 0; i < block.size(); ++i) {
        const int high = hexValue(text[2 * i]);
        const int low = 2 * i + 1 < text.size() ? hexValue(text[2 * i + 1]) : -2;
        const int expected = low == -2 ? std::max(high, 0) : (high < 0 || low < 0 ? 0 : high * 16 + low);
        PST_FUZZ_CHECK(block[i] == expected);
    }
}

void checkLogoList(std::string_view text)
{
    try {
        const auto numbers = pst::ParseLogoPrintList(text);
        PST_FUZZ_CHECK(!numbers.empty());
        std::vector<int> positions;
        for (const std::uint8_t n : numbers) {
            PST_FUZZ_CHECK(n >= 1 && n <= pst::kMaxLogoNumber);
            PST_FUZZ_CHECK(pst::LogoPrintCommand(n) == (pst::RawBytes{0x1C, 0x70, n, 0x00}));
            positions.push_back(n);
        }
        // Printed again, the list reads back the same.
        PST_FUZZ_CHECK(pst::ParseLogoPrintList(pst::LogoPrintList(positions)) == numbers);
    } catch (const pst::EInvalidInput& refused) {
        PST_FUZZ_CHECK(!refused.messageKey().empty());
    }
}

void checkEthernet(std::string_view text)
{
    using pst::EthernetField;
    try {
        const pst::ParamBlock address = pst::EthernetAddressBlock(text);
        PST_FUZZ_CHECK(address.size() == 4);
        const auto command = pst::EthernetFieldCommand(EthernetField::IpAddress, address);
        PST_FUZZ_CHECK(command.size() == 6 && command[0] == 0x1F && command[1] == 'I');
    } catch (const pst::EConvertError&) {
    } catch (const pst::EInvalidInput&) {
    }
    try {
        const pst::ParamBlock port = pst::EthernetPortBlock(text);
        PST_FUZZ_CHECK(port.size() == 2);
        const int value = port[0] * 256 + port[1];
        PST_FUZZ_CHECK(value >= 2 && pst::strToInt(text) == value);
        PST_FUZZ_CHECK(pst::EthernetFieldCommand(EthernetField::Port, port).size() == 4);
    } catch (const pst::EConvertError&) {
    } catch (const pst::EInvalidInput&) {
    }
    // The MAC tail: four texts split at commas.
    std::array<std::string, 4> parts;
    std::size_t part = 0;
    for (const char c : text) {
        if (c == ',' && part < 3)
            ++part;
        else
            parts[part] += c;
    }
    try {
        const pst::ParamBlock mac = pst::EthernetMacBlock(parts);
        PST_FUZZ_CHECK(mac.size() == 4);
        for (std::size_t i = 0; i < 4; ++i)
            PST_FUZZ_CHECK(pst::parseHexInt32(parts[i]) == static_cast<std::int32_t>(mac[i]));
    } catch (const pst::EConvertError&) {
    } catch (const pst::EInvalidInput& refused) {
        PST_FUZZ_CHECK(refused.messageKey() == "sMacByteError");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkHexText(text);
    checkLogoList(text);
    checkEthernet(text);
    return 0;
}
