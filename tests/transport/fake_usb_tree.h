#pragma once
// A made-up kernel device tree (sysfs) and device-node folder, laid out the
// way the kernel lays out USB devices, so that the USB component can be
// tested without hardware. A device's node can be a link to any character
// device, such as a pseudo-terminal that a virtual printer serves.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

#include "transport/usb_system_paths.h"

namespace pst::test {

class FakeUsbTree {
public:
    struct Device {
        std::string vendor = "1234";
        std::string product = "811e";
        std::string deviceClass = "00";
        std::string subClass = "00";
        std::string protocol = "00";
        int configurations = 1;
    };

    FakeUsbTree()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pst-usb-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        std::filesystem::create_directories(devices());
        std::filesystem::create_directories(root_ / "dev");
    }
    ~FakeUsbTree()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FakeUsbTree(const FakeUsbTree&) = delete;
    FakeUsbTree& operator=(const FakeUsbTree&) = delete;

    UsbSystemPaths paths() const { return {(root_ / "sys").string(), (root_ / "dev").string()}; }
    std::filesystem::path root() const { return root_; }
    std::filesystem::path devices() const { return root_ / "sys" / "bus" / "usb" / "devices"; }

    // A device at a bus position such as "1-2"; interfaces are added apart.
    std::filesystem::path addDevice(const std::string& position, const Device& d, int interfaces = 1)
    {
        const auto dir = devices() / position;
        std::filesystem::create_directories(dir);
        write(dir / "idVendor", d.vendor + "\n");
        write(dir / "idProduct", d.product + "\n");
        write(dir / "bDeviceClass", d.deviceClass + "\n");
        write(dir / "bDeviceSubClass", d.subClass + "\n");
        write(dir / "bDeviceProtocol", d.protocol + "\n");
        write(dir / "bNumConfigurations", std::to_string(d.configurations) + "\n");
        write(dir / "bNumInterfaces", (interfaces < 10 ? " " : "") + std::to_string(interfaces) + "\n");
        return dir;
    }

    // Interface `number` of configuration 1, inside the device's folder.
    std::filesystem::path addInterface(const std::string& position, int number)
    {
        char name[16];
        std::snprintf(name, sizeof name, ":1.%d", number);
        const auto dir = devices() / position / (position + name);
        std::filesystem::create_directories(dir);
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02x\n", number);
        write(dir / "bInterfaceNumber", hex);
        return dir;
    }

    // A node of the interface ("tty"/"ttyACM0" or "usbmisc"/"lp0") whose
    // device node is a link to `target`. Returns the node's path.
    std::string addNode(const std::filesystem::path& interfaceDir, const std::string& folder,
                        const std::string& name, const std::string& target)
    {
        const auto entry = interfaceDir / folder / name;
        std::filesystem::create_directories(entry);
        const std::string devName = folder == "usbmisc" ? "usb/" + name : name;
        write(entry / "uevent", "MAJOR=166\nMINOR=0\nDEVNAME=" + devName + "\n");
        const auto node = root_ / "dev" / devName;
        std::filesystem::create_directories(node.parent_path());
        std::filesystem::remove(node);
        std::filesystem::create_symlink(target, node);
        return node.string();
    }

    void writeDescriptors(const std::string& position, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream out(devices() / position / "descriptors", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    void removeDevice(const std::string& position) { std::filesystem::remove_all(devices() / position); }

    static void write(const std::filesystem::path& file, const std::string& text)
    {
        std::ofstream out(file, std::ios::binary);
        out << text;
    }

private:
    std::filesystem::path root_;
};

// A kernel event message as the uevent socket delivers it.
inline std::string ueventMessage(const std::string& action, const std::string& devType,
                                 const std::string& subsystem = "usb")
{
    const std::string path = "/devices/pci0000:00/0000:00:14.0/usb1/1-1";
    std::string message = action + "@" + path;
    message.push_back('\0');
    for (const std::string& line : {"ACTION=" + action, "DEVPATH=" + path, "SUBSYSTEM=" + subsystem,
                                    "DEVTYPE=" + devType, std::string("SEQNUM=1234")}) {
        message += line;
        message.push_back('\0');
    }
    return message;
}

}  // namespace pst::test
