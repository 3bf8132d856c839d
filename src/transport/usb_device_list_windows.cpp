#include "transport/usb_device_list.h"

namespace pst {

// SetupAPI's device interfaces (GUID_DEVINTERFACE_USB_DEVICE) are the list
// on Windows, and their paths are what OpenDevice opens. Until that walk is
// in place the list is empty, and says why.
std::vector<UsbDeviceEntry> enumerateUsbDevices(const UsbSystemPaths& /*paths*/)
{
    return {};
}

std::string usbListingGap()
{
    return "USB devices are not listed on Windows yet; reach the printer over its serial port or the network";
}

}  // namespace pst
