#pragma once
// What the port box offers: the ports named on the command line and the
// machine's serial ports, the first one chosen; or, when there are none,
// COM1 to COM30 with none chosen, so that a user can still pick a port by
// the name the printer's manual uses.

#include <string>
#include <vector>

namespace pst::app {

struct ComPortChoices {
    std::vector<std::string> items;
    bool selectFirst = false;
};

// `namedPorts` (for example a virtual printer's link) come first; a found
// port that repeats one of them is not listed twice.
ComPortChoices comPortChoices(const std::vector<std::string>& foundPorts,
                              const std::vector<std::string>& namedPorts = {});

}  // namespace pst::app
