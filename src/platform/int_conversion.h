#pragma once
// Integer conversions of typed text. Strict conversion refuses anything that
// is not a whole 32-bit number and yields the user's message
// "'%s' is not a valid integer value"; tolerant conversion falls back to a
// default. Both accept leading blanks, a sign, decimal digits, and
// hexadecimal written as $1F or 0x1F, as users of the original program
// typed them.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pst {

std::optional<std::int32_t> parseInt32(std::string_view text);

// The text shown when strict conversion refuses `text`.
std::string invalidIntegerMessage(std::string_view text);

class EConvertError : public std::runtime_error {
public:
    // what() is invalidIntegerMessage(text); the text itself stays with the
    // error, so that a window can say the same in the chosen language.
    static EConvertError forText(std::string_view text)
    {
        EConvertError error(invalidIntegerMessage(text));
        error.text_ = std::string(text);
        return error;
    }
    using std::runtime_error::runtime_error;
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Strict: throws EConvertError with invalidIntegerMessage(text).
std::int32_t strToInt(std::string_view text);

// Tolerant: `fallback` when the text is not a whole number.
std::int32_t strToIntDef(std::string_view text, std::int32_t fallback);

// Text typed where hexadecimal is expected: the digits alone ("1CF000"), or
// after 0x or 0X. Nothing else: no blanks, sign or "$".
std::optional<std::int32_t> parseHexInt32(std::string_view text);

// Strict: throws EConvertError with invalidIntegerMessage(text), the text
// as it was typed.
std::int32_t hexStrToInt(std::string_view text);

// Tolerant: `fallback` when the text is not hexadecimal.
std::int32_t hexStrToIntDef(std::string_view text, std::int32_t fallback);

}  // namespace pst
