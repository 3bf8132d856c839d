#pragma once
// The table of pennafor-cli's commands, one per thing a user wants done, and
// the look-ups in it. Only what picks a command by name needs this header;
// a file that adds commands includes cli/command_types.h.

#include <string>
#include <string_view>
#include <vector>

#include "cli/command_types.h"

namespace pst::cli {

const std::vector<Command>& commands();
const Command* findCommand(const std::string& name);

// Whether the command reads `option` itself (find and apply take links of
// their own, set-product a --serial number), so that after its name the
// option is not the global one.
bool commandKeepsOption(std::string_view command, std::string_view option);

}  // namespace pst::cli
