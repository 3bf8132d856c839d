#include "protocol/address_range.h"

#include <algorithm>

namespace pst {

namespace {

// A whole number of 1 to `maxDigits` decimal digits, nothing else.
std::optional<std::uint32_t> digitsValue(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    return value;
}

std::optional<std::uint32_t> dottedValue(std::string_view text)
{
    std::uint32_t address = 0;
    for (int octet = 0; octet < 4; ++octet) {
        const std::size_t dot = text.find('.');
        if ((octet < 3) != (dot != std::string_view::npos))
            return std::nullopt;
        const auto number = digitsValue(text.substr(0, dot), 3);
        if (!number || *number > 255)
            return std::nullopt;
        address = (address << 8) | *number;
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    return address;
}

AddressRangeParse refused(AddressRangeFault fault, std::string_view part = {})
{
    return {std::nullopt, fault, std::string(part)};
}

}  // namespace

std::vector<std::uint32_t> AddressRange::addresses() const
{
    std::vector<std::uint32_t> all;
    all.reserve(count);
    const bool withEnds = count <= 2;
    for (std::uint32_t i = withEnds ? 0 : 1; i < (withEnds ? count : count - 1); ++i)
        all.push_back(first + i);
    return all;
}

AddressRangeParse parseAddressRange(std::string_view text, std::uint16_t defaultPort)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return refused(AddressRangeFault::NotABlock);
    const auto base = dottedValue(text.substr(0, slash));
    if (!base)
        return refused(AddressRangeFault::NotAnAddress, text.substr(0, slash));

    std::string_view rest = text.substr(slash + 1);
    std::uint16_t port = defaultPort;
    if (const std::size_t colon = rest.find(':'); colon != std::string_view::npos) {
        const auto number = digitsValue(rest.substr(colon + 1), 5);
        if (!number || *number < 1 || *number > 65535)
            return refused(AddressRangeFault::NotAPort, rest.substr(colon + 1));
        port = static_cast<std::uint16_t>(*number);
        rest = rest.substr(0, colon);
    }
    const auto prefix = digitsValue(rest, 2);
    if (!prefix || *prefix > 32)
        return refused(AddressRangeFault::NotAPrefix, rest);
    const std::uint64_t size = std::uint64_t{1} << (32 - *prefix);
    if (size > kMaxRangeAddresses)
        return refused(AddressRangeFault::TooLarge, std::to_string(size));
    const auto mask = static_cast<std::uint32_t>(~(size - 1));
    return {AddressRange{*base & mask, static_cast<std::uint32_t>(size), port}};
}

std::string dottedAddress(std::uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
        std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

}  // namespace pst
