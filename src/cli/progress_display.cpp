#include "cli/progress_display.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>

#include "cli/progress_line.h"

namespace pst::cli {

ProgressDisplay::ProgressDisplay(std::ostream& target, ProgressStyle style, SteadyClock clock)
    : target_(target), style_(style), clock_(std::move(clock))
{
}

void ProgressDisplay::show(std::int64_t done, std::int64_t total)
{
    if (style_ == ProgressStyle::None || total <= 0)
        return;
    std::lock_guard lock(mutex_);
    const auto now = clock_();
    if (total != total_ || done < done_) {
        started_ = now;
        total_ = total;
        tenthShown_ = -1;
    }
    done_ = done;
    const ProgressFigures figures{done, total, std::chrono::duration<double>(now - started_).count()};
    if (style_ == ProgressStyle::InPlace) {
        // Clears what a longer earlier line left at its end.
        target_ << '\r' << progressLine(figures, true) << "\x1b[K" << std::flush;
        lineOpen_ = true;
        return;
    }
    const std::int64_t tenth = std::min<std::int64_t>(done, total) * 10 / total;
    if (tenth <= tenthShown_)
        return;
    tenthShown_ = tenth;
    target_ << progressLine(figures, false) << '\n' << std::flush;
}

void ProgressDisplay::end()
{
    std::lock_guard lock(mutex_);
    if (lineOpen_)
        target_ << '\n' << std::flush;
    lineOpen_ = false;
}

namespace {

std::unique_ptr<ProgressDisplay>& current()
{
    static auto display = std::make_unique<ProgressDisplay>(std::cerr, ProgressStyle::None);
    return display;
}

}  // namespace

ProgressDisplay& progressDisplay()
{
    return *current();
}

void setProgressDisplay(std::ostream& target, ProgressStyle style)
{
    current() = std::make_unique<ProgressDisplay>(target, style);
}

}  // namespace pst::cli
