#include "status_text.h"

#include <cstdio>

namespace pst {

std::string composeProgressText(const std::string& text, std::int32_t done, std::int32_t inAll)
{
    if (inAll == 0)
        return text;
    std::int64_t permille = static_cast<std::int64_t>(done) * 1000 / inAll;
    if (permille > 1000)
        permille = 1000;
    char progress[96];
    std::snprintf(progress, sizeof progress, "Finish %d.%d%%(%u/%u)", static_cast<int>(permille / 10),
                  static_cast<int>(permille % 10), static_cast<std::uint32_t>(done) >> 8,
                  static_cast<std::uint32_t>(inAll) >> 8);
    return text + progress;
}

bool StatusThrottle::shouldPost(std::int32_t done, std::int32_t inAll)
{
    const auto now = clock_();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastPost_);
    if (!posted_ || elapsed.count() > 70 || done >= inAll) {
        lastPost_ = now;
        posted_ = true;
        return true;
    }
    return false;
}

}  // namespace pst
