#pragma once
// The link a user reaches the printer over most of the time, set once
// instead of on every command line: the environment variable PENNAFOR_LINK,
// otherwise the section [Cli] of the data folder's sysconfig.ini:
//   [Cli]
//   Link=udp:192.168.1.50:5100
//   DeviceSpeed=9600
//   TransferSpeed=115200
// A link is written "serial:PORT", "udp:HOST[:PORT]" or "usb:IDENTIFIER".
// What the command line names itself wins over both; the variable wins over
// the file.

#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "platform/ini_file.h"

namespace pst::cli {

inline constexpr const char* kUsualLinkVariable = "PENNAFOR_LINK";
inline constexpr std::string_view kCliSection = "Cli";

// `text` as a link into `options`; an error text naming `source` (where the
// text came from) when it is no link.
std::string parseLinkText(const std::string& text, const std::string& source, CliOptions& options);

// Fills in the link and the speeds the command line left out, from
// `variable` (PENNAFOR_LINK's value, null when it is not set) and from the
// [Cli] section of `settings`. Returns an error text, empty when all is well.
std::string applyUsualLink(CliOptions& options, const char* variable, const IniDocument& settings);

}  // namespace pst::cli
