// Text fields on their way to the printer: any bytes are either refused with
// EInvalidInput or encoded to GBK that decodes back to the same text; ASCII
// passes unchanged, and the width limit is never exceeded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "gbk_decode.h"
#include "protocol/input_error.h"
#include "protocol/legacy_text.h"

namespace {
constexpr pst::LegacyTextField kField{"name", "sProductNameField"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t maxBytes = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    bool ascii = true;
    for (const char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;

    std::vector<std::uint8_t> encoded;
    try {
        encoded = pst::EncodeLegacyText(text, kField);
    } catch (const pst::EInvalidInput&) {
        PST_FUZZ_CHECK(!ascii);
        return 0;
    }
    if (ascii)
        PST_FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(encoded.data()), encoded.size()) == text);
    bool decoded = false;
    const std::string back = decodeGbk(encoded, decoded);
    PST_FUZZ_CHECK(decoded);
    PST_FUZZ_CHECK(back == text);

    try {
        const auto limited = pst::EncodeLegacyText(text, kField, maxBytes);
        PST_FUZZ_CHECK(limited == encoded && limited.size() <= maxBytes);
    } catch (const pst::EInvalidInput&) {
        PST_FUZZ_CHECK(encoded.size() > maxBytes);
    }
    return 0;
}
