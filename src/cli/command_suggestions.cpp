#include "cli/command_suggestions.h"

#include <algorithm>

namespace pst::cli {

std::size_t editDistance(std::string_view a, std::string_view b)
{
    // The usual table, where swapping two neighbours counts as one slip.
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

std::vector<std::string> nearestNames(std::string_view typed, const std::vector<std::string>& known)
{
    const std::size_t allowed = std::min<std::size_t>(3, std::max<std::size_t>(1, typed.size() / 3));
    std::vector<std::size_t> distances;
    for (const std::string& name : known)
        distances.push_back(typed.size() >= 3 && name.starts_with(typed) ? 1 : editDistance(typed, name));
    const std::size_t nearest = distances.empty() ? 0 : *std::ranges::min_element(distances);
    std::vector<std::string> names;
    if (nearest > allowed)
        return names;
    for (std::size_t i = 0; i < known.size(); ++i)
        if (distances[i] == nearest)
            names.push_back(known[i]);
    return names;
}

}  // namespace pst::cli
