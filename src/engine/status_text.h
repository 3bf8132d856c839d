#pragma once
// Status and progress texts, and the throttle that keeps a long download
// from flooding the window with status messages.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace pst {

// `text` followed, when inAll is not 0, by "Finish %d.%d%%(%d/%d)": the
// permille done (capped at 100.0%) and both counts in 256-byte blocks.
std::string composeProgressText(const std::string& text, std::int32_t done, std::int32_t inAll);

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

inline SteadyClock realSteadyClock()
{
    return [] { return std::chrono::steady_clock::now(); };
}

// Decides whether a status text is posted now. A text is posted when more
// than 70 whole milliseconds have passed since the last post, or when it is
// the last of a progress sequence (done >= inAll).
class StatusThrottle {
public:
    explicit StatusThrottle(SteadyClock clock = realSteadyClock()) : clock_(std::move(clock)) { }

    bool shouldPost(std::int32_t done, std::int32_t inAll);

private:
    SteadyClock clock_;
    std::chrono::steady_clock::time_point lastPost_{};
    bool posted_ = false;
};

}  // namespace pst
