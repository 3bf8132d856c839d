#include "platform/serial_ports.h"

#include <algorithm>
#include <utility>

#include <windows.h>

#include "platform/natural_order.h"

namespace pst {

namespace {

// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM holds one value per port present now:
// its name is the kernel's device object ("\Device\Serial0",
// "\Device\VCP0"), its data the COM name. Drivers add and remove their
// entries as ports come and go, so it is read afresh every time.
std::vector<std::pair<std::string, std::string>> serialCommEntries()
{
    std::vector<std::pair<std::string, std::string>> entries;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return entries;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[256];
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG result = ::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        std::string port(reinterpret_cast<const char*>(data), dataLength);
        while (!port.empty() && port.back() == '\0')
            port.pop_back();
        if (!port.empty())
            entries.emplace_back(std::string(name, nameLength), port);
    }
    ::RegCloseKey(key);
    // COM2 before COM10, as the list is shown.
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return naturalLess(a.second, b.second); });
    return entries;
}

}  // namespace

// The folders name where Linux keeps its device tree; Windows keeps the
// list in the registry instead, so they have no meaning here.
std::vector<std::string> listSerialPorts(const std::string& /*sysfsTtyFolder*/, const std::string& /*deviceFolder*/)
{
    std::vector<std::string> ports;
    for (auto& entry : serialCommEntries())
        ports.push_back(std::move(entry.second));
    return ports;
}

std::vector<SerialPortDetails> describeSerialPorts(const std::string& /*sysfsRoot*/, const std::string& /*devRoot*/)
{
    std::vector<SerialPortDetails> ports;
    for (auto& entry : serialCommEntries()) {
        SerialPortDetails port;
        port.path = std::move(entry.second);
        // The device object names the driver's kind of port ("Serial",
        // "VCP", "USBSER000"); the USB details behind it live in SetupAPI.
        port.driver = std::move(entry.first);
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace pst
