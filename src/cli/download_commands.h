#pragma once
// The commands that update the printer's program, download fonts and
// logos, catch the boot loader and read memory back.

#include <vector>

#include "cli/command_types.h"

namespace pst::cli {

void appendDownloadCommands(std::vector<Command>& table);

}  // namespace pst::cli
