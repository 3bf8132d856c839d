#pragma once
// The words of pennafor-cli's help in the chosen language. The English help
// is built in (the command tables and command_help.cpp); each language file
// carries it again, piece by piece, in its section [CliHelp], so that the
// help is read from the file of the language chosen. A piece the file lacks
// keeps its built-in English, so a damaged file never hides a command's help.
//
// A piece of several lines is one value in the file, its line breaks written
// "\n" (a language file holds one value a line).

#include <string>
#include <string_view>

namespace pst::cli {

inline constexpr const char* kHelpSection = "CliHelp";

// Puts `text` in place of the built-in text of piece `key`.
void setHelpText(std::string_view key, std::string text);

// The text of piece `key`: the loaded one, else `builtIn`.
std::string helpText(std::string_view key, std::string_view builtIn);

// "a\nb" as the file writes it, and back.
std::string helpValueFromFile(std::string_view value);
std::string helpValueForFile(std::string_view text);

}  // namespace pst::cli
