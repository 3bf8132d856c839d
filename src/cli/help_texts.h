#pragma once
// The words of pennafor-cli's help in the chosen language. The English help
// is built in (the command tables and command_help.cpp); each language file
// holds the help in its language, piece by piece, in its section [CliHelp]
// (English.lng the built-in text again, so that it can be edited like any
// other text). A piece the file lacks keeps its built-in English, so a
// damaged file never hides a command's help.
//
// A piece of several lines is one value in the file, its line breaks written
// "\n" (a language file holds one value a line); one that starts or ends
// with blanks is written in quotes, which the file reader drops.

#include <string>
#include <string_view>

namespace pst::cli {

inline constexpr const char* kHelpSection = "CliHelp";

// Puts `text` in place of the built-in text of piece `key`.
void setHelpText(std::string_view key, std::string text);

// The text of piece `key`: the loaded one, else `builtIn`.
std::string helpText(std::string_view key, std::string_view builtIn);

// The text of a value as the file writes it: "\n" becomes a line break.
std::string helpValueFromFile(std::string_view value);

}  // namespace pst::cli
