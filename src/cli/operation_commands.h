#pragma once
// The commands that each run one settings or raw printer operation: how a
// command's arguments become the inputs of the setting's request builder
// (the one the parameter window uses), and the one runner
// that carries any of them out.

#include <iosfwd>
#include <span>
#include <vector>

#include "cli/argument_parsing.h"
#include "cli/command_types.h"
#include "requests/request.h"
#include "requests/setting_group.h"

namespace pst::cli {

class CliSession;

struct OperationCommand {
    const char* name;
    const char* arguments;  // one line, for the command list
    const char* summary;    // without opcodes: those go in `sends`
    const char* details;    // the arguments, for the command's own --help
    const char* sends;
    PrinterReply reply;
    const char* example;  // the words after "pennafor-cli"
    requests::Request (*build)(Arguments& arguments);
    // Options left out that keep the values the parameter window stored
    // (set-switches); false for a command that needs all of its own.
    bool keepsStoredValues = false;
    // The items ITEM may name, printed numbered by "--list" instead of
    // sending anything; null for a command without such a list.
    ListNames (*choices)() = nullptr;
    // The setting group whose description builds the request instead of
    // `build`.
    const requests::SettingGroup* group = nullptr;
};

std::span<const OperationCommand> settingsCommands();
std::span<const OperationCommand> rawCommands();

// Adds every operation command to the command table.
void appendOperationCommands(std::vector<Command>& table);

class CliSession;

// After a command nobody answers: waits until its `bytes` have left the
// port, as closing it (or leaving the process) would drop them.
void waitForUnansweredBytes(CliSession& session, std::size_t bytes);

// The runner behind every operation command (looked up by options.command).
int runOperationCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pst::cli
