#pragma once
// Commands for a technician who does not know where the printer is, or at
// which speed it listens: find looks for it, list-ports tells what stands
// behind each serial port.

#include <iosfwd>

#include "cli/cli_options.h"

namespace pst::cli {

// find [--serial PORT]... [--usb IDENTIFIER]... [--udp HOST[:PORT]]...
//      [--udp-range CIDR[:PORT]] [--json]
// Exit 0 when a printer answered, 1 when none did, 2 for a usage error.
int runFind(const CliOptions& options, std::ostream& out, std::ostream& err);

// list-ports: every serial port with its driver, USB device and stable names.
int runListPorts(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pst::cli
