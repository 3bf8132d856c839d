#pragma once
// What pennafor-cli prints about itself: the main help, each command's own
// help (from its row of the command table) and the form of a usage error.

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/command_types.h"
#include "platform/ini_file.h"

namespace pst::cli {

// The main help: options, the commands by task, the exit statuses.
void printUsage(std::ostream& out);

// A command's own help (--help or -h after its name).
void printCommandHelp(const Command& command, std::ostream& out);

// Every piece of the help with its built-in English (see help_texts.h): the
// main help's, then each command's summary, arguments and what it sends.
struct HelpPiece {
    std::string key;
    std::string builtIn;
};
std::vector<HelpPiece> helpPieces();

// Takes the pieces the section [CliHelp] of a language file holds.
void loadHelpTexts(const IniDocument& file);

// "pennafor-cli help [COMMAND]": the main help, or the command's own.
inline constexpr const char* kHelpCommand = "help";
int runHelp(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The usage error of a name that is no command, with the commands it was
// probably meant to be.
int unknownCommand(std::ostream& err, const std::string& name);

// The one form of every command-line mistake, on `err`:
//   pennafor-cli: <what>
//   Try 'pennafor-cli COMMAND --help'.   (or 'pennafor-cli --help' without one)
// in the chosen language.
// Returns the exit status of a usage error, 2.
int usageError(std::ostream& err, const std::string& what, const std::string& command = {});

}  // namespace pst::cli
