#pragma once

#include <string>

namespace pst::sim {

// Replaces `path` with `content` so that a reader sees either the old or the
// new file, never a half-written one. Returns an error text, empty on success.
std::string writeFileAtomically(const std::string& path, const std::string& content);

}  // namespace pst::sim
