#pragma once
// Commands about the USB devices present.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace pst::cli {

// Every USB device identifier present; nothing, with the reason told on
// `err`, when the device tree cannot be read.
std::optional<std::vector<std::string>> usbDeviceIdentifiers(std::ostream& err);

// list-usb: every USB device identifier, one a line; printers (product id
// 811E) are marked with "*". Exit 0 also when none is present.
int runListUsb(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pst::cli
