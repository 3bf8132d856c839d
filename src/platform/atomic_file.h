#pragma once
// Replaces a file's content all at once: the content goes to a temporary
// file beside it, which is then renamed over the old one. A crash or a full
// disk leaves either the old file or the new one, never half of either.

#include <string>
#include <string_view>

namespace pst {

// Returns an empty string on success, otherwise why it failed.
std::string writeFileAtomically(const std::string& path, std::string_view content);

}  // namespace pst
