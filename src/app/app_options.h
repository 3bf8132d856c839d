#pragma once
// Command-line options of pennafor-setting-tool.

#include <optional>
#include <string>
#include <vector>

namespace pst::app {

struct AppOptions {
    std::string dataDir;     // where "sysconfig.ini" and "debug.log" go
    std::string serialPort;  // listed first in the port box and chosen
    std::string screenshot;  // save a picture of the main window and quit
};

struct AppOptionsResult {
    std::optional<AppOptions> options;
    std::string error;  // set when options is empty
};

// The options after --help and --version, which the program answers before
// it starts Qt.
AppOptionsResult parseAppOptions(const std::vector<std::string>& args);

inline constexpr const char* kAppUsage =
    "usage: pennafor-setting-tool [--data-dir DIR] [--serial PORT] [--screenshot FILE.png]\n"
    "  --data-dir DIR     keep sysconfig.ini and debug.log in DIR (default: the program's folder\n"
    "                     when writable; an installed program uses\n"
    "                     $XDG_CONFIG_HOME/pennafor-setting-tool, normally\n"
    "                     ~/.config/pennafor-setting-tool; on Windows %APPDATA%\\pennafor-setting-tool)\n"
    "  --serial PORT      list PORT first in the port box and choose it (for example /dev/ttyUSB0)\n"
    "  --screenshot FILE  show the main window, save a picture of it to FILE and quit\n";

}  // namespace pst::app
