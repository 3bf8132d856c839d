#pragma once
// The requests to stop that come from outside the program: Ctrl-C, SIGTERM
// and SIGHUP (on Windows Ctrl-C, Ctrl-Break and the console being closed,
// the user logging off or the system shutting down). While a StopSignals
// lives, the first request is handed to its callback on an ordinary thread
// (never inside a signal handler), so that a long run can stop between two
// blocks and leave the printer as it found it; a second request ends the
// process at once with the status the shell gives for that signal. Without
// one the system's default holds. One at a time in a process.

#include <functional>
#include <memory>

namespace pst {

enum class StopSignal { Interrupt, Terminate, HangUp };

// 128 + the signal's number, as a shell reports a process it ended:
// 130, 143 and 129.
int StopSignalExitStatus(StopSignal signal);
// "Ctrl-C", "SIGTERM", "SIGHUP".
const char* StopSignalName(StopSignal signal);

class StopSignals {
public:
    explicit StopSignals(std::function<void(StopSignal)> stop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct Backend;
    std::unique_ptr<Backend> backend_;
};

}  // namespace pst
