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

// Encodes UTF-8 `text` for the printer. Throws EInvalidInput naming `field`
// when the text is not valid UTF-8 or holds a character GBK cannot carry;
// nothing is ever sent garbled.
std::vector<std::uint8_t> EncodeLegacyText(std::string_view text, std::string_view field);

// As above, and refuses text whose encoded form is longer than `maxBytes`
// (the printer's field width), rather than cutting a character in half.
std::vector<std::uint8_t> EncodeLegacyText(std::string_view text, std::string_view field,
                                           std::size_t maxBytes);

}  // namespace pst
