#pragma once
// What pennafor-cli prints about itself: the main help, each command's own
// help (from its row of the command table) and the form of a usage error.

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace pst::cli {

// The main help: options, the commands by task, the exit statuses.
void printUsage(std::ostream& out);

// A command's own help (--help or -h after its name).
void printCommandHelp(const Command& command, std::ostream& out);
bool asksForHelp(const std::vector<std::string>& arguments);

// The one form of every command-line mistake, on `err`:
//   pennafor-cli: <what>
//   Try 'pennafor-cli COMMAND --help'.   (or 'pennafor-cli --help' without one)
// Returns the exit status of a usage error, 2.
int usageError(std::ostream& err, const std::string& what, const std::string& command = {});

}  // namespace pst::cli
