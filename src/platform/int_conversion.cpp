#include "int_conversion.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace pst {

std::optional<std::int32_t> parseInt32(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;

    // Hexadecimal may spell the full 32-bit pattern ($FFFFFFFF is -1);
    // decimal must fit the signed range.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = static_cast<unsigned>(std::tolower(c) - 'a' + 10);
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    auto bits = static_cast<std::uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

std::string invalidIntegerMessage(std::string_view text)
{
    return "'" + std::string(text) + "' is not a valid integer value";
}

std::int32_t strToInt(std::string_view text)
{
    if (auto value = parseInt32(text))
        return *value;
    throw EConvertError::forText(text);
}

std::int32_t strToIntDef(std::string_view text, std::int32_t fallback)
{
    return parseInt32(text).value_or(fallback);
}

std::optional<std::int32_t> parseHexInt32(std::string_view text)
{
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    // Digits only: the general conversion below would take a sign or blanks.
    if (text.empty() || !std::all_of(text.begin(), text.end(),
                                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }))
        return std::nullopt;
    return parseInt32("$" + std::string(text));
}

std::int32_t hexStrToInt(std::string_view text)
{
    if (auto value = parseHexInt32(text))
        return *value;
    throw EConvertError::forText(text);
}

std::int32_t hexStrToIntDef(std::string_view text, std::int32_t fallback)
{
    return parseHexInt32(text).value_or(fallback);
}

}  // namespace pst
