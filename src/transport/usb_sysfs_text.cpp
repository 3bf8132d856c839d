#include "transport/usb_sysfs_text.h"

#include <filesystem>

namespace pst {

std::map<unsigned, unsigned> InterfaceAssociations(std::span<const std::uint8_t> bytes)
{
    constexpr std::size_t kDeviceDescriptorSize = 18;
    constexpr std::uint8_t kInterfaceAssociation = 0x0B;
    std::map<unsigned, unsigned> groups;
    std::size_t at = kDeviceDescriptorSize;
    while (at + 2 <= bytes.size()) {
        const std::size_t length = bytes[at];
        if (length < 2 || at + length > bytes.size())
            break;
        if (bytes[at + 1] == kInterfaceAssociation && length >= 8 && bytes[at + 3] > 0)
            groups.emplace(bytes[at + 2], bytes[at + 3]);
        at += length;
    }
    return groups;
}

std::optional<std::string> NodeNameFromUevent(std::string_view uevent, const std::string& fallback)
{
    std::string name = fallback;
    while (!uevent.empty()) {
        const std::size_t end = uevent.find('\n');
        const std::string_view line = uevent.substr(0, end);
        if (line.starts_with("DEVNAME=")) {
            name = line.substr(8);
            break;
        }
        if (end == std::string_view::npos)
            break;
        uevent.remove_prefix(end + 1);
    }
    // The name comes from a file; it must stay inside the node folder.
    const std::filesystem::path relative(name);
    if (name.empty() || relative.is_absolute())
        return std::nullopt;
    for (const auto& part : relative)
        if (part == "..")
            return std::nullopt;
    return name;
}

}  // namespace pst
