#pragma once
// Text fields reach the printer as bytes of the legacy code page its
// firmware expects: GBK, so that Chinese names arrive exactly as the
// original platform's system code page produced them. ASCII passes
// unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pst {

// A text field as a refusal names it: in English for the log, and by the
// message key of its name for the user.
struct LegacyTextField {
    std::string_view name;
    std::string_view messageKey;
};

// Encodes UTF-8 `text` for the printer. Throws EInvalidInput naming `field`
// when the text is not valid UTF-8 or holds a character GBK cannot carry;
// nothing is ever sent garbled.
std::vector<std::uint8_t> EncodeLegacyText(std::string_view text, const LegacyTextField& field);

// As above, and refuses text whose encoded form is longer than `maxBytes`
// (the printer's field width), rather than cutting a character in half.
std::vector<std::uint8_t> EncodeLegacyText(std::string_view text, const LegacyTextField& field,
                                           std::size_t maxBytes);

}  // namespace pst
