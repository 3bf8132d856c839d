#pragma once
// What a user is told when the data folder is refused (see
// platform/program_folder.h, folderIsTrusted). Nothing is read from that
// folder, not even the language file: the text comes from the language files
// beside the executable.

#include <optional>
#include <string>

namespace pst::texts {

// The refusal of `folder` in `language`, or in the environment's language
// when none is given.
std::string DataFolderRefusal(const std::string& folder, std::optional<int> language);

}  // namespace pst::texts
