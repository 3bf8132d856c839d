#include "cli/terminal_text.h"

#include <cstdint>

namespace pst::cli {

namespace {

void putEscaped(std::string& out, std::uint8_t byte)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

// The length of the well-formed UTF-8 sequence at the start of `text` (at
// most 4 bytes, no overlong forms, no surrogates), 0 when there is none.
std::size_t utf8Length(std::string_view text)
{
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = at(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || text.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (at(i) < 0x80 || at(i) > 0xBF)
            return 0;
    return length;
}

}  // namespace

std::string TerminalSafe(std::string_view printerText)
{
    std::string out;
    out.reserve(printerText.size());
    while (!printerText.empty()) {
        const auto byte = static_cast<std::uint8_t>(printerText.front());
        if (byte == '\\') {
            out += "\\\\";
            printerText.remove_prefix(1);
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += static_cast<char>(byte);
            printerText.remove_prefix(1);
        } else if (const std::size_t length = byte >= 0x80 ? utf8Length(printerText) : 0;
                   length != 0 && !(byte == 0xC2 && static_cast<std::uint8_t>(printerText[1]) < 0xA0)) {
            // U+0080 to U+009F (C2 80 to C2 9F) are controls too: some
            // terminals take U+009B as the start of an escape sequence.
            out.append(printerText.substr(0, length));
            printerText.remove_prefix(length);
        } else {
            putEscaped(out, byte);
            printerText.remove_prefix(1);
        }
    }
    return out;
}

}  // namespace pst::cli
