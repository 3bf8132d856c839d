#include "platform/serial_ports.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

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

// Runs of digits compare as numbers: "ttyS2" before "ttyS10".
bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Compare digit runs by value: skip leading zeros, then the
            // longer run is larger, then digit by digit.
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            std::string_view ra = a.substr(i, ei - i);
            std::string_view rb = b.substr(j, ej - j);
            ra.remove_prefix(std::min(ra.find_first_not_of('0'), ra.size()));
            rb.remove_prefix(std::min(rb.find_first_not_of('0'), rb.size()));
            if (ra.size() != rb.size())
                return ra.size() < rb.size();
            if (ra != rb)
                return ra < rb;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;  // equal by value ("ttyS01" vs "ttyS1"): keep a strict order
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
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return naturalLess(a, b); });
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const auto& name : names)
        paths.push_back(joinPath(deviceFolder, name));
    return paths;
}

}  // namespace pst
