#pragma once
// The commands of pennafor-cli, one per thing a user wants done.

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace pst::cli {

struct Command {
    const char* name;
    const char* arguments;  // shown in the usage text
    const char* summary;
    int (*run)(const CliOptions& options, std::ostream& out, std::ostream& err);
};

const std::vector<Command>& commands();
const Command* findCommand(const std::string& name);

void printUsage(std::ostream& out);

}  // namespace pst::cli
