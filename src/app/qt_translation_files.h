#pragma once
// Where Qt's own texts (the buttons and labels of its dialogs) come from
// for each language the program offers.

#include <string>
#include <vector>

namespace pst::app {

// A "translations" folder beside the executable first (the Windows build
// ships the file there), then Qt's own translations folder.
std::vector<std::string> qtTranslationFolders(const std::string& executableFolder,
                                              const std::string& qtTranslationsFolder);

// The translation of Qt's own texts for the language box's `languageIndex`:
// "qtbase_zh_CN" for Chinese, none for English, Qt's own language.
std::string qtTranslationName(int languageIndex);

}  // namespace pst::app
