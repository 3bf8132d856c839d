#include "transport/usb_interface_path.h"

#include <algorithm>
#include <cctype>

namespace pst {

std::string usbIdentifierOfPath(std::string_view path)
{
    if (const std::size_t first = path.find('#'); first != std::string_view::npos)
        path.remove_prefix(first + 1);
    if (const std::size_t second = path.find('#'); second != std::string_view::npos)
        path = path.substr(0, second);
    std::string identifier(path);
    std::transform(identifier.begin(), identifier.end(), identifier.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return identifier;
}

}  // namespace pst
