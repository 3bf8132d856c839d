#pragma once
// Runs one operation of the worker from the command line, printing every
// status text as a line and the error text of a failed run on standard
// error. The worker's events come on its own thread; the main thread only
// waits for the run's end.

#include <condition_variable>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "engine/comm_thread.h"

namespace pst::cli {

class CliSession {
public:
    CliSession(const CliOptions& options, std::ostream& out, std::ostream& err);
    ~CliSession();

    // Starts the operation and waits until it ends.
    // Returns 0 when it succeeded, 1 when it failed.
    int run(int operation, std::int32_t argument1 = 0, std::int32_t argument2 = 0, HandOver handOver = {});

    TCommThread& worker() { return *worker_; }

    // A window sets the serial component's port and speed before a bare
    // command or the loader is spoken to; a fresh process does it here.
    void aimSerialComponent(const CliOptions& options);

private:
    WorkerEvents events();
    void printStatus(const std::string& text);
    void finish(const WorkerFailure* failure);

    std::ostream& out_;
    std::ostream& err_;
    std::shared_ptr<ConnectionSettingsStore> settings_;
    std::unique_ptr<TCommThread> worker_;
    std::string lastPrinted_;  // worker thread during a run, this one after

    std::mutex endMutex_;
    std::condition_variable ended_;
    bool finished_ = false;                 // guarded by endMutex_
    std::optional<WorkerFailure> failure_;  // guarded by endMutex_
};

}  // namespace pst::cli
