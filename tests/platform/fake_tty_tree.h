#pragma once
// A made-up sysfs and /dev holding serial ports the way the kernel lays them
// out: the class entry a link into the device tree, the port's device a
// link up from there, its driver a link into the bus's drivers, and the
// stable names links in /dev/serial/by-id.

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <stdlib.h>

namespace pst::test {

class FakeTtyTree {
public:
    FakeTtyTree()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pst-tty-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        std::filesystem::create_directories(sys() / "class" / "tty");
        std::filesystem::create_directories(dev() / "serial" / "by-id");
    }
    ~FakeTtyTree()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FakeTtyTree(const FakeTtyTree&) = delete;
    FakeTtyTree& operator=(const FakeTtyTree&) = delete;

    std::filesystem::path sys() const { return root_ / "sys"; }
    std::filesystem::path dev() const { return root_ / "dev"; }

    // A USB adapter at bus position `position`, its port `name` under
    // interface 0, bound to `driver`.
    void addUsbPort(const std::string& name, const std::string& driver, const std::string& position,
                    const std::string& vendor, const std::string& product, const std::string& maker,
                    const std::string& productName)
    {
        const auto usb = sys() / "devices" / "pci0000:00" / "usb1" / position;
        std::filesystem::create_directories(usb);
        write(usb / "idVendor", vendor + "\n");
        write(usb / "idProduct", product + "\n");
        if (!maker.empty())
            write(usb / "manufacturer", maker + "\n");
        if (!productName.empty())
            write(usb / "product", productName + "\n");
        addPort(name, driver, "usb-serial", usb / (position + ":1.0") / name);
    }

    // A built-in UART, which the kernel found (type 4).
    void addUart(const std::string& name)
    {
        addPort(name, "serial8250", "platform", sys() / "devices" / "platform" / ("serial8250-" + name));
        write(sys() / "class" / "tty" / name / "type", "4\n");
    }

    // The port's device node, standing in for `target` (a virtual printer's
    // pseudo-terminal, say).
    void addNode(const std::string& name, const std::string& target)
    {
        std::filesystem::create_symlink(target, dev() / name);
    }

    void addStableName(const std::string& link, const std::string& name)
    {
        std::filesystem::create_symlink("../../" + name, dev() / "serial" / "by-id" / link);
    }

private:
    void addPort(const std::string& name, const std::string& driver, const std::string& bus,
                 const std::filesystem::path& device)
    {
        const auto classDir = device / "tty" / name;
        std::filesystem::create_directories(classDir);
        const auto driverDir = sys() / "bus" / bus / "drivers" / driver;
        std::filesystem::create_directories(driverDir);
        std::filesystem::create_directory_symlink(driverDir, device / "driver");
        std::filesystem::create_directory_symlink(device, classDir / "device");
        std::filesystem::create_directory_symlink(classDir, sys() / "class" / "tty" / name);
    }

    static void write(const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; }

    std::filesystem::path root_;
};

}  // namespace pst::test
