#pragma once
// The language switch: one language file ("Chinese.lng" or "English.lng", an
// INI file) replaces the captions, texts and hints of every window, the item
// lists and the message texts. A missing file, section or key leaves the
// current text as it is, so the routine never fails.
//
// The two passes are not mirror images: the Chinese pass never reads the
// section "Flow control" or the key "sMsg24", and the English pass never
// reads the three "BlackErrorStr" keys. Once English was loaded, those keep
// their English texts after a switch back to Chinese; the language files
// were written for exactly this behaviour, so it is kept.

#include <string>
#include <string_view>
#include <vector>

#include "texts/translatable_window.h"
#include "platform/ini_file.h"

namespace pst::texts {

inline constexpr int kEnglish = 1;

// "English.lng" for index 1, "Chinese.lng" for any other (0, or -1 when the
// language box has nothing selected).
std::string languageFileName(int languageIndex);

// The first of `folders` that holds the language file; empty when none does.
std::string findLanguageFile(const std::vector<std::string>& folders, int languageIndex);

// One window: its caption (when not empty) from key "Caption" of the
// window's section, and every control whose text (hint) is not empty from
// name + ".Caption" (name + ".Hint").
void translateWindow(const IniDocument& file, TranslatableWindow& window);

// The item lists and the message texts.
void translateItemLists(const IniDocument& file, int languageIndex);
void translateMessageTexts(const IniDocument& file, int languageIndex);

// Windows, then item lists, then message texts.
void translateAll(const IniDocument& file, int languageIndex,
                  const std::vector<TranslatableWindow*>& windows);

// The items of list `section` in every language the program knows: the
// built-in Chinese items, then those of each language file found in
// `folders` (an item a file lacks stays the built-in one). A record saved in
// one language finds its items again in the other through these.
std::vector<std::vector<std::string>> itemListInEveryLanguage(std::string_view section,
                                                              const std::vector<std::string>& folders);

// The main window's link-kind text (list "Trans Mode") in the current
// language.
std::string linkKindText(int linkKind);

}  // namespace pst::texts
