#pragma once
// The names the atomic writer gives its temporary files, on both systems:
// `<file>.pst-` and six random letters or digits. The mark is the program's
// own, so that a leftover of a killed save can be told from a user's file
// (a "notes.backup" has a six-letter extension too) and removed.

#include <string>
#include <string_view>

namespace pst {

inline constexpr std::size_t kTemporarySuffixLength = 6;

// kTemporarySuffixLength random letters or digits, from the system's source.
std::string randomTemporarySuffix();

std::string temporaryFileName(std::string_view name, std::string_view suffix);

// Whether `fileName` has the shape of a temporary file of some save.
bool isTemporaryFileName(std::string_view fileName);

}  // namespace pst
