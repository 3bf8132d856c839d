#pragma once
// set-switches with only some of its options: the others keep the values
// the parameter window stored in the data folder's sysconfig.ini (its
// defaults where the file holds none), so that changing the buzzer does
// not mean retyping the font.

#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace pst::cli {

struct CompletedSwitches {
    std::vector<std::string> arguments;  // the command's, with the missing options added
    std::vector<std::string> kept;       // "--font 12x24", one per option added
};

// `languageFolders`: where the language files are, to read a stored list
// text saved in the other language.
CompletedSwitches completeSwitchOptions(const std::vector<std::string>& arguments, const IniDocument& stored,
                                        const std::vector<std::string>& languageFolders);

}  // namespace pst::cli
