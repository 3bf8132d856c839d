#pragma once
// Profiles from the command line: showing what a profile holds, and
// applying it to many printers with a report.

#include <iosfwd>

#include "cli/cli_options.h"

namespace pst::cli {

int runProfile(const CliOptions& options, std::ostream& out, std::ostream& err);
int runApply(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pst::cli
