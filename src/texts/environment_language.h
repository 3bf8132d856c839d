#pragma once
// The language the texts start in when the user has not chosen one (no
// --language, no stored choice in "sysconfig.ini"): the one the desktop
// session asks for through the usual locale variables, otherwise the
// system's display language (Windows says it only that way). Only the
// variables' text is read, so no locale needs to be installed.

#include <functional>
#include <string>

#include "texts/main_defaults.h"

namespace pst::texts {

// Looks up one environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// LC_ALL, then LC_MESSAGES, then LANG: the first that is set and not empty
// decides; when none is, the display language tag (`displayTag`, as
// displayLanguageTag() gives it) does. Chinese (0) for a value starting with
// "zh", English otherwise ("C" and "POSIX" among them); Chinese when nothing
// says, the program's own language.
int languageFromEnvironment(const EnvironmentLookup& lookup, const std::string& displayTag = {});
int languageFromEnvironment();

// The stored choice when there is one, otherwise the environment's.
int startingLanguage(const MainDefaults& defaults, const EnvironmentLookup& lookup);
int startingLanguage(const MainDefaults& defaults);

}  // namespace pst::texts
