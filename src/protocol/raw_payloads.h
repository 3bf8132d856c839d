#pragma once
// The raw printer commands (no frame, no reply) and the hand-over blocks
// their operations read.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/settings_payloads.h"
#include "protocol/value_mappings.h"

namespace pst {

using RawBytes = std::vector<std::uint8_t>;

// Black-mark values as handed over: distance and width high byte first,
// the feed after the mark low byte first; only the low 16 bits are sent.
ParamBlock BlackMarkDistanceBlock(std::int32_t millimetres);
ParamBlock BlackMarkWidthBlock(std::int32_t millimetres);
ParamBlock FeedAfterMarkBlock(std::int32_t millimetres);

RawBytes BlackMarkModeCommand();    // 1F 1B 1F 80 04 05 06 44
RawBytes CancelBlackMarkCommand();  // 1F 1B 1F 80 04 05 06 66
// The three value commands take the first two bytes of their block.
RawBytes BlackMarkDistanceCommand(const ParamBlock& block);  // 1F 1B 1F 81 04 05 06 dH dL
RawBytes BlackMarkWidthCommand(const ParamBlock& block);     // 1F 1B 1F 82 04 05 06 wH wL
RawBytes FeedAfterMarkCommand(const ParamBlock& block);      // 1D 28 46 04 00 01 00 fL fH
RawBytes FindBlackMarkCommand();                             // 0C
RawBytes FindBlackMarkAndCutCommand();                       // 0C 1B 69

// Ethernet fields: 1F, the field's letter, then exactly the field's bytes.
enum class EthernetField : std::uint8_t {
    IpAddress = 0x49,   // I
    SubnetMask = 0x53,  // S
    Gateway = 0x4E,     // N
    Mac = 0x4D,         // M
    Port = 0x50,        // P
};
inline constexpr std::size_t EthernetFieldBytes(EthernetField field)
{
    return field == EthernetField::Port ? 2 : 4;
}

// The address fields from the dotted text (the network page's parse).
ParamBlock EthernetAddressBlock(std::string_view dotted);
// The MAC tail: each text a hexadecimal byte, 00 to FF (0x before it or
// not). A text that is no number throws EConvertError; a number above FF
// throws EInvalidInput with the message key "sMacByteError".
ParamBlock EthernetMacBlock(const std::array<std::string, 4>& hexTexts);
// The port, high byte first; refused unless it is from 2 to 65535.
ParamBlock EthernetPortBlock(std::string_view text);
// Throws EInvalidInput unless the block holds exactly the field's bytes.
RawBytes EthernetFieldCommand(EthernetField field, const ParamBlock& block);

// USB device type (12 55 n), paper type (1F 41 n), print order (1B 7B n).
RawBytes InterfaceOptionCommand(InterfaceOption option, int position);

// Stored logos: the print list is the 1-based list positions joined by
// commas; each number n prints with 1C 70 n 00.
inline constexpr int kMaxLogoNumber = 255;
std::string LogoPrintList(const std::vector<int>& positions);
// Throws EInvalidInput for an empty list or an entry that is not a number
// from 1 to kMaxLogoNumber.
std::vector<std::uint8_t> ParseLogoPrintList(std::string_view list);
RawBytes LogoPrintCommand(std::uint8_t number);

// The black-mark test receipt as the parameter window holds it.
extern const std::string_view kTestReceiptHex;

// Pairs of hexadecimal digits from the left, each one byte; a pair that is
// not hexadecimal gives 0; a lone last digit is read on its own.
ParamBlock HexTextToBlock(std::string_view hexText);

}  // namespace pst
