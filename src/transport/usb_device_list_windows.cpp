#include "transport/usb_device_list.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include <windows.h>
#include <setupapi.h>
#include <initguid.h>
#include <usbiodef.h>

#include "transport/comm_types.h"
#include "transport/usb_interface_path.h"

namespace pst {

namespace {

// The device-information set of every USB device interface present; closed
// when it goes.
class UsbInterfaceSet {
public:
    UsbInterfaceSet()
        : set_(::SetupDiGetClassDevsW(&GUID_DEVINTERFACE_USB_DEVICE, nullptr, nullptr,
                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE))
    {
    }
    ~UsbInterfaceSet()
    {
        if (valid())
            ::SetupDiDestroyDeviceInfoList(set_);
    }
    UsbInterfaceSet(const UsbInterfaceSet&) = delete;
    UsbInterfaceSet& operator=(const UsbInterfaceSet&) = delete;

    bool valid() const { return set_ != INVALID_HANDLE_VALUE; }

    // The path of member `index`; false once the members are all seen.
    // `path` is empty for a member whose path could not be read.
    bool path(DWORD index, std::wstring& path) const
    {
        path.clear();
        SP_DEVICE_INTERFACE_DATA member{};
        member.cbSize = sizeof member;
        if (!::SetupDiEnumDeviceInterfaces(set_, nullptr, &GUID_DEVINTERFACE_USB_DEVICE, index, &member))
            return false;
        DWORD required = 0;
        ::SetupDiGetDeviceInterfaceDetailW(set_, &member, nullptr, 0, &required, nullptr);
        if (required == 0 || ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return true;
        // The record's fixed part is its size field; the path follows it.
        std::vector<std::uint8_t> storage(required + sizeof(wchar_t));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (::SetupDiGetDeviceInterfaceDetailW(set_, &member, detail, required, nullptr, nullptr))
            path = detail->DevicePath;
        return true;
    }

private:
    HDEVINFO set_;
};

std::string narrow(const std::wstring& wide)
{
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(length, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length, nullptr,
                          nullptr);
    return out;
}

std::string upperCased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

// Every present USB device interface (GUID_DEVINTERFACE_USB_DEVICE, the
// class of all USB devices, not a printer class), in the system's order.
// The interface path is both what OpenDevice searches and the node it
// opens; the sysfs folders mean nothing here.
std::vector<UsbDeviceEntry> enumerateUsbDevices(const UsbSystemPaths& /*paths*/)
{
    const UsbInterfaceSet set;
    if (!set.valid())
        throw ECommsError("Failed to open handle to HID device set",
                          "the system's list of USB device interfaces could not be read");
    std::vector<UsbDeviceEntry> entries;
    std::wstring wide;
    for (DWORD index = 0; set.path(index, wide); ++index) {
        if (wide.empty())
            continue;
        const std::string path = narrow(wide);
        entries.push_back({usbIdentifierOfPath(path), upperCased(path), {path}});
    }
    return entries;
}

std::string usbListingGap()
{
    return {};
}

}  // namespace pst
