#pragma once
// The table of texts the program shows, with their built-in Chinese defaults,
// and the item lists of the translatable list controls. A language file may
// replace any of them at run time (SetMessageText, SetItemText); the worker
// reads them from its own thread while an operation runs, so every read
// returns a copy taken under the table's lock.

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pst {

struct MessageTextEntry {
    std::string_view key;  // the key in the language file's section "String"
    std::string_view defaultText;
};

// Every keyed text, in the order of the table (the order a language file is
// read in).
std::span<const MessageTextEntry> MessageTextTable();

// The current text of `key`; the key itself when the table has no such key,
// so that a misspelt key shows up instead of an empty status line.
std::string MessageText(std::string_view key);

// The text of `key` with the numbers in place of its "%d"s, in order; a
// translation with fewer "%d"s simply shows fewer numbers.
std::string MessageWithNumbers(std::string_view key, std::initializer_list<long long> numbers);

// The text of `key` with `text` in place of its first "%s"; a translation
// without one shows its own text alone.
std::string MessageWithText(std::string_view key, const std::string& text);

// The text of `key` with `values` in its places ("%s" or "%d"), in order;
// for texts that mix words and numbers, or put two words side by side that
// one language joins with a blank and the other without.
std::string MessageWithValues(std::string_view key, std::initializer_list<std::string> values);

// Replaces the text of `key`; false, changing nothing, for an unknown key.
bool SetMessageText(std::string_view key, std::string text);

// Item lists: each is a section of the language file with keys "0", "1", ...
struct ItemListEntry {
    std::string_view section;
    std::span<const std::string_view> defaults;
};

std::span<const ItemListEntry> ItemListTable();

// The current items of the list `section`; empty for an unknown section.
std::vector<std::string> ItemList(std::string_view section);

// Replaces one item; false for an unknown section or an index past its end
// (a list never changes its number of items).
bool SetItemText(std::string_view section, std::size_t index, std::string text);

// Puts every text and item back to its built-in default.
void ResetMessageTexts();

}  // namespace pst
