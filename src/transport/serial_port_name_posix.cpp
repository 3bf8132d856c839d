#include "transport/serial_port_name.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace pst {

std::string serialDevicePath(std::string_view name)
{
    constexpr std::string_view prefix = "com";
    if (name.size() <= prefix.size())
        return std::string(name);
    const bool hasPrefix = std::equal(prefix.begin(), prefix.end(), name.begin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
    const std::string_view digits = name.substr(prefix.size());
    if (!hasPrefix || digits.front() == '0' || digits.size() > 9)
        return std::string(name);

    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::string(name);
    return "/dev/ttyS" + std::to_string(number - 1);
}

}  // namespace pst
