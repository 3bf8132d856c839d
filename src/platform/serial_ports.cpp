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

}  // namespace pst
