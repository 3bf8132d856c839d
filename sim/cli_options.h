#pragma once

#include "virtual_printer.h"

#include <string>
#include <vector>

namespace pst::sim {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    SimOptions options;
    std::string error;  // set for Action::Error
};

CommandLine parseCommandLine(const std::vector<std::string>& args);
std::string usageText();

}  // namespace pst::sim
