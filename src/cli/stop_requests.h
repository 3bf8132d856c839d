#pragma once
// What the command line does when it is asked to stop from outside
// (Ctrl-C, SIGTERM, SIGHUP): every run going on stops between two blocks,
// its worker switching the printer back and writing debug.log as after any
// ending, no new run starts, and the command ends the way it ends after a
// failed run; main then exits with the signal's status. A second request
// ends the process at once.

#include <functional>
#include <iosfwd>
#include <optional>

#include "platform/stop_signals.h"

namespace pst::cli {

// Listens for the requests to stop while it lives (main, for a command's
// run), telling on `err` that the command is stopping.
class StopOnRequest {
public:
    explicit StopOnRequest(std::ostream& err);

private:
    StopSignals signals_;
};

// The request that came, if one did.
std::optional<StopSignal> stopRequested();

// The exit status of a command that returned `status`: the request's, when
// one came.
int statusAfterStop(int status);

// Something to stop when a request comes (a session's worker), for the
// registration's life.
class StopRegistration {
public:
    explicit StopRegistration(std::function<void()> stop);
    ~StopRegistration();
    StopRegistration(const StopRegistration&) = delete;
    StopRegistration& operator=(const StopRegistration&) = delete;

private:
    std::function<void()> stop_;
};

// Calls `start` (which starts a run) unless a request to stop came; false
// when it did. A request is either seen here or reaches the started run.
bool startUnlessStopped(const std::function<void()>& start);

}  // namespace pst::cli
