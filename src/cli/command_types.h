#pragma once
// What one command of pennafor-cli is: a row carrying everything its own
// --help says, so that one function prints the help of any command and none
// can be left without one. The files that add rows need only this; the table
// itself is in cli/commands.h.
// The texts are the built-in English; the help shows them in the chosen
// language (cli/help_texts.h), found under "NAME.Summary", "NAME.Details"
// and "NAME.Sends".

#include <iosfwd>

#include "cli/cli_options.h"

namespace pst::cli {

// The tasks the main help groups the commands by, in its order.
enum class CommandGroup { Link, Settings, PrinterCommands, Downloads };

// What the user learns from the printer after the command.
enum class PrinterReply {
    Confirmed,   // the printer answers; exit status 1 when it does not
    Unanswered,  // sent without a reply: success only means it went out
    ReadBack,    // the printer sends data back, which the command keeps
    None,        // nothing goes to the printer
};

struct CommandHelp {
    const char* details;  // the arguments, one or more lines; empty when there are none
    const char* sends;    // what goes over the link (opcodes may be named here)
    PrinterReply reply;
    const char* example;  // the words after "pennafor-cli [OPTIONS] "
};

struct Command {
    const char* name;
    const char* arguments;  // shown in the usage lines
    const char* summary;    // one line for the main help, without opcodes
    CommandGroup group;
    CommandHelp help;
    int (*run)(const CliOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace pst::cli
