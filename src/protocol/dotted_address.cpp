#include "protocol/dotted_address.h"

#include <string>

#include "platform/int_conversion.h"
#include "protocol/input_error.h"

namespace pst {

namespace {

std::uint8_t addressPart(std::string_view part)
{
    const std::int32_t value = strToInt(part);
    if (value < 0 || value > 255)
        throw EInvalidInput::withMessageKey("sAddressPartMsg");
    return static_cast<std::uint8_t>(value);
}

}  // namespace

std::array<std::uint8_t, 4> ParseDottedQuad(std::string_view text)
{
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t dot = text.find('.');
        // A missing dot leaves the part empty, which the strict conversion
        // refuses.
        const std::string_view part =
            dot == std::string_view::npos ? std::string_view{} : text.substr(0, dot);
        bytes[i] = addressPart(part);
        text = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    }
    bytes[3] = addressPart(text.substr(0, 100));
    return bytes;
}

}  // namespace pst
