#pragma once
// Commands about the USB devices present.

#include <iosfwd>

#include "cli/cli_options.h"

namespace pst::cli {

// list-usb: every USB device identifier, one a line; printers (product id
// 811E) are marked with "*". Exit 0 also when none is present.
int runListUsb(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pst::cli
