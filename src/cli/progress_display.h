#pragma once
// How far a transfer is, on standard error so that standard output keeps
// the command's result alone. A terminal gets one line redrawn in place;
// a file or a pipe gets a line at each tenth of the way, so that a log of a
// long download stays short. One per process, chosen by main.

#include <cstdint>
#include <mutex>
#include <ostream>

#include "engine/status_text.h"

namespace pst::cli {

enum class ProgressStyle { None, InPlace, Tenths };

class ProgressDisplay {
public:
    ProgressDisplay(std::ostream& target, ProgressStyle style, SteadyClock clock = realSteadyClock());

    // From any thread. A total that changes, or a count that goes back,
    // begins a new transfer.
    void show(std::int64_t done, std::int64_t total);
    // Ends a line drawn in place, before other text follows on the stream.
    void end();

private:
    std::mutex mutex_;
    std::ostream& target_;
    ProgressStyle style_;
    SteadyClock clock_;
    std::chrono::steady_clock::time_point started_{};
    std::int64_t done_ = -1;
    std::int64_t total_ = 0;
    std::int64_t tenthShown_ = -1;
    bool lineOpen_ = false;
};

// The process's display; one that shows nothing until main sets it.
ProgressDisplay& progressDisplay();
void setProgressDisplay(std::ostream& target, ProgressStyle style);

}  // namespace pst::cli
