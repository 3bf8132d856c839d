#pragma once
// The commands that each run one settings or raw printer operation: how a
// command's arguments become the operation's request, and the one runner
// that carries any of them out.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <vector>

#include "cli/argument_parsing.h"
#include "cli/commands.h"
#include "engine/comm_thread.h"

namespace pst::cli {

// How the operation reaches the printer, which decides what the command
// line must set up before and wait for after.
enum class SendingStyle {
    Packet,  // answered command packets; the link is closed at the end
    Opened,  // raw bytes after the full link setup; the link stays open
    Bare,    // raw bytes without link setup, on the port as last set
};

struct OperationRequest {
    int operation = 0;
    std::int32_t argument1 = 0;
    std::int32_t argument2 = 0;
    HandOver handOver;
    SendingStyle style = SendingStyle::Packet;
    std::size_t bytesToSend = 0;                  // unanswered bytes that must leave before the process ends
    std::optional<std::uint32_t> newDeviceSpeed;  // the printer listens here after success
};

struct OperationCommand {
    const char* name;
    const char* arguments;  // one line, for the command list
    const char* summary;
    const char* details;  // the command's own --help
    OperationRequest (*build)(Arguments& arguments);
};

std::span<const OperationCommand> settingsCommands();
std::span<const OperationCommand> rawCommands();

// Adds every operation command to the command table.
void appendOperationCommands(std::vector<Command>& table);

// The runner behind every operation command (looked up by options.command).
int runOperationCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pst::cli
