#include "platform/serial_ports.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/natural_order.h"
#include "platform/program_folder.h"

namespace pst {

namespace fs = std::filesystem;

namespace {

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The 8250 driver's port type; 0 (PORT_UNKNOWN) means no UART was found.
bool hasUartHardware(const fs::path& tty)
{
    std::ifstream in(tty / "type");
    long type = 0;
    return (in >> type) && type != 0;
}

std::string firstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The nearest folder at or above `from` that describes a USB device (it has
// the vendor id), stopping at `root`; empty when there is none.
fs::path usbDeviceAbove(fs::path from, const fs::path& root)
{
    std::error_code error;
    for (; !from.empty() && from != root && from != from.root_path(); from = from.parent_path())
        if (fs::exists(from / "idVendor", error))
            return from;
    return {};
}

// Names in `byIdFolder` that are links to the device node called `name`.
std::vector<std::string> stableNamesOf(const fs::path& byIdFolder, const std::string& name)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(byIdFolder, error);
    if (error)
        return names;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        const fs::path target = fs::read_symlink(it->path(), error);
        if (!error && target.filename() == name)
            names.push_back(it->path().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isCandidate(const fs::path& tty, const std::string& name)
{
    std::error_code error;
    // Virtual consoles, pseudo-terminals and the like have no device link.
    if (!fs::exists(tty / "device", error))
        return false;
    if (name.starts_with("ttyS") && name.size() > 4 && isDigit(name[4]))
        return hasUartHardware(tty);
    return true;
}

}  // namespace

std::vector<std::string> listSerialPorts(const std::string& sysfsTtyFolder, const std::string& deviceFolder)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(sysfsTtyFolder, error);
    if (error)
        return {};
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        const std::string name = it->path().filename().string();
        if (isCandidate(it->path(), name))
            names.push_back(name);
    }
    // Names equal by value ("ttyS01", "ttyS1") still get a strict order.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return naturalLess(a, b) || (!naturalLess(b, a) && a < b);
    });
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const auto& name : names)
        paths.push_back(joinPath(deviceFolder, name));
    return paths;
}

std::vector<SerialPortDetails> describeSerialPorts(const std::string& sysfsRoot, const std::string& devRoot)
{
    const fs::path ttyFolder = fs::path(sysfsRoot) / "class" / "tty";
    std::vector<SerialPortDetails> ports;
    for (const std::string& path : listSerialPorts(ttyFolder.string(), devRoot)) {
        SerialPortDetails port;
        port.path = path;
        const std::string name = fs::path(path).filename().string();
        std::error_code error;
        const fs::path device = fs::canonical(ttyFolder / name / "device", error);
        if (!error) {
            const fs::path driver = fs::read_symlink(device / "driver", error);
            if (!error)
                port.driver = driver.filename().string();
            if (const fs::path usb = usbDeviceAbove(device, fs::canonical(sysfsRoot, error)); !usb.empty()) {
                port.usbId = firstLine(usb / "idVendor") + ":" + firstLine(usb / "idProduct");
                port.maker = firstLine(usb / "manufacturer");
                port.product = firstLine(usb / "product");
            }
        }
        port.stableNames = stableNamesOf(fs::path(devRoot) / "serial" / "by-id", name);
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace pst
