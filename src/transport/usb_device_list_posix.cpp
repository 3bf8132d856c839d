#include "transport/usb_device_list.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>

#include "platform/natural_order.h"
#include "transport/comm_types.h"
#include "transport/usb_sysfs_text.h"

namespace pst {

namespace fs = std::filesystem;

namespace {

constexpr const char* kEnumerationFailed = "Failed to open handle to HID device set";

// sysfs attributes are short; anything longer is not what it claims to be.
constexpr std::size_t kAttributeLimit = 4096;

std::optional<std::string> readAttribute(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text(kAttributeLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    const auto notSpace = [](char c) { return !std::isspace(static_cast<unsigned char>(c)); };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    return text;
}

bool isHex(const std::string& text, std::size_t digits)
{
    return text.size() == digits && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c));
           });
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return text;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

// A hexadecimal attribute (bDeviceClass "00", bInterfaceNumber "01").
std::optional<unsigned> hexAttribute(const fs::path& file)
{
    const auto text = readAttribute(file);
    if (!text || text->empty() || text->size() > 4 || !isHex(*text, text->size()))
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(*text, nullptr, 16));
}

// A decimal attribute (bNumInterfaces " 2").
std::optional<unsigned> decimalAttribute(const fs::path& file)
{
    const auto text = readAttribute(file);
    if (!text || text->empty() || text->size() > 4 ||
        !std::all_of(text->begin(), text->end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(*text));
}

// The node's name below the device-node folder, as the kernel names it.
std::optional<std::string> nodeName(const fs::path& classEntry, const std::string& fallback)
{
    std::ifstream in(classEntry / "uevent", std::ios::binary);
    std::string text(kAttributeLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return NodeNameFromUevent(text, fallback);
}

// The printer and virtual-serial nodes of one interface.
std::vector<std::string> interfaceNodes(const fs::path& interfaceDir, const UsbSystemPaths& paths)
{
    struct NodeClass {
        const char* folder;
        const char* prefix;
        const char* nodeFolder;  // where the kernel puts such nodes, when uevent does not say
    };
    static constexpr std::array<NodeClass, 2> kClasses{{{"usbmisc", "lp", "usb/"}, {"tty", "ttyACM", ""}}};

    std::vector<std::string> nodes;
    std::error_code ec;
    for (const NodeClass& nodeClass : kClasses) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(interfaceDir / nodeClass.folder, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(nodeClass.prefix, 0) == 0)
                names.push_back(name);
        }
        std::sort(names.begin(), names.end(), naturalLess);
        for (const auto& name : names) {
            if (auto devName = nodeName(interfaceDir / nodeClass.folder / name, nodeClass.nodeFolder + name))
                nodes.push_back((fs::path(paths.devRoot) / *devName).string());
        }
    }
    return nodes;
}

// The associations of a device's interfaces, from its raw descriptors.
std::map<unsigned, unsigned> interfaceAssociations(const fs::path& deviceDir)
{
    std::ifstream in(deviceDir / "descriptors", std::ios::binary);
    if (!in)
        return {};
    std::vector<std::uint8_t> bytes(65536);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return InterfaceAssociations(bytes);
}

bool isComposite(const fs::path& deviceDir, std::size_t interfaceCount)
{
    const unsigned interfaces =
        decimalAttribute(deviceDir / "bNumInterfaces").value_or(static_cast<unsigned>(interfaceCount));
    const unsigned configurations = decimalAttribute(deviceDir / "bNumConfigurations").value_or(1);
    const unsigned deviceClass = hexAttribute(deviceDir / "bDeviceClass").value_or(0);
    const unsigned subClass = hexAttribute(deviceDir / "bDeviceSubClass").value_or(0);
    const unsigned protocol = hexAttribute(deviceDir / "bDeviceProtocol").value_or(0);
    const bool associationClass = deviceClass == 0xEF && subClass == 0x02 && protocol == 0x01;
    return interfaces > 1 && configurations == 1 && (deviceClass == 0 || associationClass);
}

struct Interface {
    unsigned number;
    std::vector<std::string> nodes;
};

std::vector<UsbDeviceEntry> describeDevice(const fs::path& deviceDir, const std::string& position,
                                           const UsbSystemPaths& paths)
{
    const auto vendor = readAttribute(deviceDir / "idVendor");
    const auto product = readAttribute(deviceDir / "idProduct");
    if (!vendor || !product || !isHex(*vendor, 4) || !isHex(*product, 4))
        return {};
    const std::string hardware = "VID_" + upper(*vendor) + "&PID_" + upper(*product);

    std::vector<Interface> interfaces;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(deviceDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(position + ":", 0) != 0 || !entry.is_directory(ec))
            continue;
        if (auto number = hexAttribute(entry.path() / "bInterfaceNumber"))
            interfaces.push_back({*number, interfaceNodes(entry.path(), paths)});
    }
    std::sort(interfaces.begin(), interfaces.end(),
              [](const Interface& a, const Interface& b) { return a.number < b.number; });

    auto pathOf = [&](const std::string& identifier) {
        return upper("USB#" + lower(identifier) + "#" + position);
    };

    std::vector<UsbDeviceEntry> entries;
    UsbDeviceEntry device{hardware, pathOf(hardware), {}};
    for (const auto& itf : interfaces)
        device.nodes.insert(device.nodes.end(), itf.nodes.begin(), itf.nodes.end());
    entries.push_back(std::move(device));

    if (!isComposite(deviceDir, interfaces.size()))
        return entries;
    const auto associations = interfaceAssociations(deviceDir);
    unsigned groupEnd = 0;  // interfaces below this belong to the function before them
    UsbDeviceEntry* function = nullptr;
    for (const auto& itf : interfaces) {
        if (function && itf.number < groupEnd) {
            function->nodes.insert(function->nodes.end(), itf.nodes.begin(), itf.nodes.end());
            continue;
        }
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "&MI_%02X", itf.number & 0xFF);
        const std::string identifier = hardware + suffix;
        entries.push_back({identifier, pathOf(identifier), itf.nodes});
        function = &entries.back();
        const auto group = associations.find(itf.number);
        groupEnd = group == associations.end() ? 0 : itf.number + group->second;
    }
    return entries;
}

}  // namespace

std::vector<UsbDeviceEntry> enumerateUsbDevices(const UsbSystemPaths& paths)
{
    std::error_code ec;
    const fs::path root(paths.sysfsRoot);
    if (!fs::is_directory(root, ec))
        throw ECommsError(kEnumerationFailed, paths.sysfsRoot + " is not a readable folder");

    const fs::path devices = root / "bus" / "usb" / "devices";
    std::vector<std::string> positions;
    if (fs::is_directory(devices, ec)) {
        fs::directory_iterator it(devices, ec);
        if (ec)
            throw ECommsError(kEnumerationFailed, devices.string() + ": " + ec.message());
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec)
                break;
            const std::string name = it->path().filename().string();
            // Interfaces carry a colon; root hubs are named usbN.
            if (name.find(':') == std::string::npos && name.rfind("usb", 0) != 0)
                positions.push_back(name);
        }
    }
    std::sort(positions.begin(), positions.end(), naturalLess);

    std::vector<UsbDeviceEntry> entries;
    for (const auto& position : positions) {
        auto described = describeDevice(devices / position, position, paths);
        std::move(described.begin(), described.end(), std::back_inserter(entries));
    }
    return entries;
}

std::string usbListingGap()
{
    return {};
}

}  // namespace pst
