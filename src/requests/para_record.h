#pragma once
// The parameter record: section "ParaDefault" of "sysconfig.ini", one key
// per control of the parameter window, read in table order every time the
// window is shown and written in table order every time it closes. Values
// travel as the texts the file holds; what a text means for its control
// (which list item, which radio button) is decided by the functions below,
// so that the window only moves texts between the file and its controls.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"

namespace pst::requests {

inline constexpr std::string_view kParaSection = "ParaDefault";

enum class ParaKind {
    ItemText,    // a list control's text, restored by selecting the matching item
    Text,        // an edit's text
    Bool,        // a check box: 1 or 0
    GroupIndex,  // a radio group's selected item
    RadioPair,   // two radio buttons: 0 the first, 1 the second
};

struct ParaKey {
    std::string_view key;
    std::string_view control;  // the control's name (for a radio pair, the first button)
    ParaKind kind;
    // The stored text when the key is missing. Translatable lists take the
    // text of their item `defaultItem` in the current language instead.
    std::string_view defaultText;
    std::string_view itemList = {};  // the translatable list's section, empty otherwise
    int defaultItem = 0;
    std::string_view secondControl = {};  // a radio pair's second button
};

// Every key, in the order it is read and written.
std::span<const ParaKey> ParaKeyTable();

// The record as texts, index for index with ParaKeyTable().
using ParaValues = std::vector<std::string>;

// The text a missing key stands for, in the current language.
std::string DefaultText(const ParaKey& key);

// Reads every key; missing keys give their defaults.
ParaValues ReadParaRecord(const IniDocument& file);

// Writes every key in table order into `file`, keeping the rest of it.
void WriteParaRecord(IniDocument& file, const ParaValues& values);

// Loads "sysconfig.ini", writes the record and saves it atomically, under
// the file's lock (changeIniFile). Returns an empty string on success,
// otherwise the reason.
std::string SaveParaRecord(const std::string& path, const ParaValues& values);

// The parameter window's save: of the record it was shown (`loaded`), only
// the keys whose value the user changed since, and the keys the file does
// not hold at all, are written into the file as it is now, under its lock.
// So a value another program saved meanwhile (the serial number a command
// line apply moved on) is not put back to what the window read.
std::string SaveChangedParaRecord(const std::string& path, const ParaValues& loaded,
                                  const ParaValues& values);

// The item a stored text selects: the first item equal to it without regard
// to letter case; failing that, the item at the position the text has in
// one of `otherLanguages` (the same list in each language the program
// knows), so that a record saved in one language keeps its choices in the
// other. With no match, a translatable list selects its first item and any
// other list nothing (-1).
int ItemForText(const std::vector<std::string>& items, std::string_view text, bool translatable,
                const std::vector<std::vector<std::string>>& otherLanguages = {});

// A stored index as an integer, the way the profile functions read one: a
// text that is not a whole number gives `fallback`.
int StoredIndex(std::string_view text, int fallback);

// A radio group's selection for a stored index: below -1 none, past the
// last item the last one.
int GroupSelection(int stored, int itemCount);

// A radio pair for a stored index: false checks the first button, true the
// second; any other value leaves the pair as it is.
std::optional<bool> RadioPairSecond(int stored);

}  // namespace pst::requests
