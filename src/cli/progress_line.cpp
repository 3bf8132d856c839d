#include "cli/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "texts/message_texts.h"

namespace pst::cli {

namespace {

constexpr int kBarWidth = 24;

std::string bar(std::int64_t done, std::int64_t total)
{
    const auto filled = static_cast<int>(done * kBarWidth / total);
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
        std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "]";
}

}  // namespace

std::string byteCount(double bytes)
{
    char text[32];
    if (bytes < 1024)
        std::snprintf(text, sizeof text, "%.0f B", bytes);
    else if (bytes < 1024.0 * 1024)
        std::snprintf(text, sizeof text, "%.1f KiB", bytes / 1024);
    else
        std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024));
    return text;
}

std::string clockTime(double seconds)
{
    const auto whole = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

std::string progressLine(const ProgressFigures& figures, bool withBar)
{
    const std::int64_t total = std::max<std::int64_t>(figures.total, 1);
    const std::int64_t done = std::clamp<std::int64_t>(figures.done, 0, total);
    const std::int64_t permille = done * 1000 / total;
    char percent[16];
    std::snprintf(percent, sizeof percent, "%3d.%d%%", static_cast<int>(permille / 10),
                  static_cast<int>(permille % 10));

    std::string line = withBar ? bar(done, total) + "  " : "";
    line += std::string(percent) + "  " + byteCount(static_cast<double>(done)) + " / " +
        byteCount(static_cast<double>(total));
    if (done == total)
        return line + "  " + MessageWithText("sProgressTookMsg", clockTime(figures.seconds));
    if (done == 0 || figures.seconds <= 0)
        return line;
    const double rate = static_cast<double>(done) / figures.seconds;
    return line + "  " + byteCount(rate) + "/s  " +
        MessageWithText("sProgressLeftMsg", clockTime(static_cast<double>(total - done) / rate));
}

}  // namespace pst::cli
