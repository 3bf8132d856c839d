#include "transport/usb_open_failure.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace pst {

namespace {

std::string joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

}  // namespace

std::string UsbOpenFailure::detail() const
{
    if (pid_.empty())
        return "no USB device was chosen";
    if (matched_.empty()) {
        std::string text = "no USB device with " + pid_ + " in its identifier is present";
        if (std::any_of(pid_.begin(), pid_.end(),
                        [](char c) { return std::islower(static_cast<unsigned char>(c)); }))
            text += " (the product id is looked for in upper case)";
        return text;
    }
    if (refusals_.empty()) {
        return joined(matched_) + ": no printer (usb/lpN) or virtual serial (ttyACMn) interface node";
    }

    // Lack of permission is the one cause the user can fix at once; say how.
    const auto denied = std::find_if(refusals_.begin(), refusals_.end(),
                                     [](const Refusal& r) { return r.error == EACCES || r.error == EPERM; });
    if (denied != refusals_.end()) {
        return denied->node +
            ": permission denied; this user may not use the printer's device node. Install the rule "
            "packaging/" +
            kUsbAccessRule +
            " into /etc/udev/rules.d, run 'udevadm control --reload', then unplug the printer "
            "and plug it in again (or run the tool as root)";
    }
    const Refusal& first = refusals_.front();
    if (first.error == EBUSY)
        return first.node + ": in use by another program";
    return first.node + ": " + std::strerror(first.error);
}

}  // namespace pst
