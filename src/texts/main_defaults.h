#pragma once
// The main window's three remembered choices, section "MainDefault" of
// "sysconfig.ini". They are read every time the window is shown and written
// only when the user goes on to the parameter window after a good link test.

#include <optional>
#include <string>

#include "platform/ini_file.h"

namespace pst::texts {

inline constexpr const char* kSettingsFileName = "sysconfig.ini";
inline constexpr const char* kMainDefaultSection = "MainDefault";

struct MainDefaults {
    std::string ipAddress = "192.168.1.87";
    int language = 0;  // item index of the language box
    // Whether the file holds a language at all: without one the texts
    // follow the environment (startingLanguage), so "absent" is not "0".
    bool languageStored = false;
    // Index of the link-kind radio button (0 serial .. 3 parallel). A stored
    // value outside 0..3 reads as "keep the current choice".
    std::optional<int> tranMode;
};

MainDefaults readMainDefaults(const IniDocument& file);

// Writes the three keys into the file at `path`, keeping everything else in
// it (the parameter window's section among them). Returns an empty string on
// success, otherwise the reason.
std::string saveMainDefaults(const std::string& path, const std::string& ipAddress, int language,
                             int tranMode);

}  // namespace pst::texts
