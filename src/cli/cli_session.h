#pragma once
// Runs one operation of the worker from the command line: the main thread
// plays the window, printing every status text as a line and the error text
// of a failed run on standard error.

#include <iosfwd>
#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "engine/comm_thread.h"

namespace pst::cli {

class CliSession {
public:
    CliSession(const CliOptions& options, std::ostream& out, std::ostream& err);
    ~CliSession();

    // Starts the operation and handles the worker's messages until it ends.
    // Returns 0 when it succeeded, 1 when it failed.
    int run(int operation, std::int32_t argument1 = 0, std::int32_t argument2 = 0, HandOver handOver = {});

    TCommThread& worker() { return *worker_; }

    // A window sets the serial component's port and speed before a bare
    // command or the loader is spoken to; a fresh process does it here.
    void aimSerialComponent(const CliOptions& options);

private:
    void onMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam);
    void printStatus(const std::string& text);

    std::ostream& out_;
    std::ostream& err_;
    std::shared_ptr<Dispatcher> dispatcher_;
    std::shared_ptr<ConnectionSettingsStore> settings_;
    std::unique_ptr<TCommThread> worker_;
    std::string lastPrinted_;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace pst::cli
