#pragma once
// The language of the texts pennafor-cli prints: the one named with
// --language, otherwise the one last chosen in the main window (kept in
// "sysconfig.ini"), otherwise the environment's (LC_ALL, LC_MESSAGES, LANG;
// see texts/environment_language.h), otherwise the built-in Chinese.

#include <iosfwd>
#include <optional>
#include <string>

namespace pst::cli {

// "en"/"english" -> 1, "zh"/"chinese" -> 0 (the language box's positions);
// nothing for any other text.
std::optional<int> parseLanguage(const std::string& text);

// Loads the language file into the message texts and item lists. A language
// whose file cannot be found leaves the texts as they are and says so on
// `err` when the user asked for it by name.
void applyLanguage(const std::string& requested, const std::string& dataDir, std::ostream& err);

}  // namespace pst::cli
