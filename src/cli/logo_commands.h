#pragma once
// The stored logos the printer holds: listing them from its own directory,
// and printing them by number only when they are there.

#include <vector>

#include "cli/command_types.h"

namespace pst::cli {

void appendLogoCommands(std::vector<Command>& table);

}  // namespace pst::cli
