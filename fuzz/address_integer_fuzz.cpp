// Typed numbers and addresses: the integer conversions agree with each other
// and read back what they print, and a dotted address is either refused with
// the conversion's or the range error, or gives four parts that read back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "protocol/dotted_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto parsed = pst::parseInt32(text);
    PST_FUZZ_CHECK(pst::strToIntDef(text, 42) == parsed.value_or(42));
    try {
        const std::int32_t strict = pst::strToInt(text);
        PST_FUZZ_CHECK(parsed && strict == *parsed);
    } catch (const pst::EConvertError& refused) {
        PST_FUZZ_CHECK(!parsed);
        // what() ends at a zero byte the typed text may hold.
        PST_FUZZ_CHECK(std::string(refused.what()) == pst::invalidIntegerMessage(text).c_str());
    }
    if (parsed)
        PST_FUZZ_CHECK(pst::parseInt32(std::to_string(*parsed)) == parsed);

    (void)pst::IsAcceptedAddress(text);
    try {
        const auto parts = pst::ParseDottedQuad(text);
        const std::string printed = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
            std::to_string(parts[2]) + "." + std::to_string(parts[3]);
        PST_FUZZ_CHECK(pst::ParseDottedQuad(printed) == parts);
        PST_FUZZ_CHECK(pst::IsAcceptedAddress(printed) || printed == "255.255.255.255");
    } catch (const pst::EConvertError&) {
    } catch (const pst::EInvalidInput&) {
    }
    return 0;
}
