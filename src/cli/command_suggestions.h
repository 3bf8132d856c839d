#pragma once
// The commands a mistyped command name was probably meant to be.

#include <string>
#include <string_view>
#include <vector>

namespace pst::cli {

// The number of single-character insertions, deletions, substitutions and
// swaps of two neighbours that turn `a` into `b`.
std::size_t editDistance(std::string_view a, std::string_view b);

// The names of `known` nearest to `typed`, in their order there; none when
// even the nearest differs too much to be a slip (more than a third of the
// typed name, and never more than three edits). A name that starts with
// what was typed also counts, as an abbreviation.
std::vector<std::string> nearestNames(std::string_view typed, const std::vector<std::string>& known);

}  // namespace pst::cli
