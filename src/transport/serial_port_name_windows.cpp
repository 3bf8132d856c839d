#include "transport/serial_port_name.h"

#include <algorithm>
#include <cctype>

namespace pst {

// Windows knows COM1 to COM9 by their bare names only for old programs'
// sake; "\\.\COMn" reaches every port, COM10 and above included. A name
// that is already a device path ("\\.\COM3", "\\.\CNCA0") is used as given.
std::string serialDevicePath(std::string_view name)
{
    constexpr std::string_view prefix = "com";
    if (name.size() <= prefix.size())
        return std::string(name);
    const bool hasPrefix = std::equal(prefix.begin(), prefix.end(), name.begin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
    const std::string_view digits = name.substr(prefix.size());
    const bool allDigits = std::all_of(digits.begin(), digits.end(),
                                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    if (!hasPrefix || !allDigits || digits.front() == '0')
        return std::string(name);
    return "\\\\.\\" + std::string(name);
}

}  // namespace pst
