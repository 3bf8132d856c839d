#pragma once
// --json: the command runs as always, but standard output gets one JSON
// object at the end and nothing else: the command, the link, the model when
// known, whether it succeeded, the exit status, the failure's code, text
// and cause, the status texts, the messages, the time taken, and what the
// command attached (apply's report, find's printers). Messages still reach
// standard error. docs/cli-json-schema.json describes every command's object.

#include <iosfwd>

#include "cli/cli_options.h"
#include "cli/command_types.h"

namespace pst::cli {

int runWithJsonResult(const Command& command, const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pst::cli
