#pragma once
// Runs one operation of the worker from the command line, printing every
// status text as a line and the error text of a failed run on standard
// error. The worker's events come on its own thread; the main thread only
// waits for the run's end.

#include <atomic>
#include <condition_variable>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/stop_requests.h"
#include "engine/comm_thread.h"

namespace pst::cli {

class CliSession {
public:
    CliSession(const CliOptions& options, std::ostream& out, std::ostream& err);
    ~CliSession();

    // Starts the operation and waits until it ends.
    // Returns 0 when it succeeded, 1 when it failed or was not started
    // because the command has been asked to stop (stop_requests.h). A serial printer that
    // heard nothing is looked for at the other speeds (see speed_search.h);
    // with --auto-speed the operation runs again at the speed it answers at.
    int run(Operation operation, std::int32_t argument1 = 0, std::int32_t argument2 = 0,
            HandOver handOver = {});

    // One run that prints nothing: no status texts, no failure. For asking
    // the printer where it is without a word for every silence.
    int runQuietly(Operation operation);

    // Aims the following runs at the link and speeds of `options`.
    void aim(const CliOptions& options);
    const CliOptions& options() const { return options_; }
    // Whether run() looks for a printer that did not hear (on by default).
    void setSpeedRecovery(bool on) { speedRecovery_ = on; }
    // Whether a transfer's count is shown (on by default; off for a short
    // read that only serves to answer the command).
    void setProgressShown(bool on) { progressShown_ = on; }
    // Whether the runs' model and failure go into the command's record for
    // --json (on by default; off for one printer among many).
    void setRecorded(bool on) { recorded_ = on; }

    // How the last run failed; nothing when it succeeded.
    const std::optional<WorkerFailure>& lastFailure() const { return lastFailure_; }

    TCommThread& worker() { return *worker_; }

    // A window sets the serial component's port and speed before a bare
    // command or the loader is spoken to; a fresh process does it here.
    void aimSerialComponent(const CliOptions& options);

private:
    int runOnce(Operation operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver);
    // After a run the printer did not hear: the speed it answers at, told
    // to the user; nothing when it answers at none. The speeds it was
    // silent at during the run are not asked again.
    std::optional<std::uint32_t> recoverSpeed(const std::vector<std::uint32_t>& silentAt);
    WorkerEvents events();
    void showStatus(const StatusUpdate& update);
    void printStatus(const std::string& text);
    void finish(RunId run, const WorkerFailure* failure);

    std::ostream& out_;
    std::ostream& err_;
    std::shared_ptr<ConnectionSettingsStore> settings_;
    std::unique_ptr<TCommThread> worker_;
    // Stops the worker's run when the command is asked to stop.
    std::optional<StopRegistration> stopRegistration_;
    std::string lastPrinted_;  // worker thread during a run, this one after
    std::atomic<bool> quiet_{false};
    CliOptions options_;
    bool speedRecovery_ = true;
    bool recorded_ = true;
    bool progressShown_ = true;
    std::optional<WorkerFailure> lastFailure_;

    std::mutex endMutex_;
    std::condition_variable ended_;
    RunId endedRun_ = 0;                    // guarded by endMutex_
    std::optional<WorkerFailure> failure_;  // guarded by endMutex_
};

}  // namespace pst::cli
