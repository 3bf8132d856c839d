// What the USB device list and watch read from the system and the device:
// kernel uevent messages, Windows interface paths, a device's raw
// descriptors and a device node's uevent file. Whatever they hold, a
// message is a change only when it says so, an identifier is the path's
// middle part, an association binds at least one interface, and a node's
// name never leads out of the device-node folder.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "transport/usb_interface_path.h"
#include "transport/usb_sysfs_text.h"
#include "transport/usb_uevent_monitor.h"

namespace {

// The value of the last "KEY=" field of a NUL-separated message, after its header.
std::string_view lastField(std::string_view message, std::string_view key)
{
    std::string_view value;
    for (std::size_t at = message.find('\0'); at != std::string_view::npos; at = message.find('\0', at + 1)) {
        const std::string_view field = message.substr(at + 1, message.find('\0', at + 1) - at - 1);
        if (field.starts_with(key))
            value = field.substr(key.size());
    }
    return value;
}

void checkUevent(std::string_view message)
{
    const auto change = pst::parseUsbUevent(message);
    if (!change)
        return;
    PST_FUZZ_CHECK(message.substr(0, message.find('\0')).find('@') != std::string_view::npos);
    PST_FUZZ_CHECK(lastField(message, "SUBSYSTEM=") == "usb" && lastField(message, "DEVTYPE=") == "usb_device");
    PST_FUZZ_CHECK(lastField(message, "ACTION=") == (*change == pst::UsbDeviceChange::Arrival ? "add" : "remove"));
}

void checkInterfacePath(std::string_view path)
{
    const std::string identifier = pst::usbIdentifierOfPath(path);
    PST_FUZZ_CHECK(identifier.size() <= path.size());
    for (const char c : identifier)
        PST_FUZZ_CHECK(!(c >= 'a' && c <= 'z'));
    if (std::count(path.begin(), path.end(), '#') >= 2)
        PST_FUZZ_CHECK(identifier.find('#') == std::string::npos);
}

void checkDescriptors(std::span<const std::uint8_t> bytes)
{
    const auto groups = pst::InterfaceAssociations(bytes);
    PST_FUZZ_CHECK(groups.size() <= bytes.size() / 8);
    for (const auto& [first, count] : groups)
        PST_FUZZ_CHECK(first <= 0xFF && count >= 1 && count <= 0xFF);
}

void checkNodeName(std::string_view uevent)
{
    const std::string fallback = "usb/lp0";
    const auto name = pst::NodeNameFromUevent(uevent, fallback);
    if (uevent.find("DEVNAME=") == std::string_view::npos)
        PST_FUZZ_CHECK(name == fallback);
    if (!name)
        return;
    const std::filesystem::path relative(*name);
    PST_FUZZ_CHECK(!name->empty() && !relative.is_absolute());
    for (const auto& part : relative)
        PST_FUZZ_CHECK(part != "..");
    // Below the folder it names a place inside it.
    const auto inside = (std::filesystem::path("/dev") / relative).lexically_normal();
    PST_FUZZ_CHECK(inside.generic_string().starts_with("/dev"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkUevent(text);
    checkInterfacePath(text);
    checkDescriptors({data, size});
    checkNodeName(text);
    return 0;
}
