#include "platform/stop_signals.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <utility>

#include <windows.h>

namespace pst {

namespace {

// The system calls the handler on a thread of its own, so the callback may
// run right there.
std::mutex callbackMutex;
std::function<void(StopSignal)> callback;  // guarded by callbackMutex
std::atomic<bool> received{false};
// Set when the StopSignals ends: the console's closing waits for it, since
// the process is ended as soon as the handler returns.
HANDLE finished = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    StopSignal signal = StopSignal::Interrupt;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
        signal = StopSignal::HangUp;
        break;
    case CTRL_SHUTDOWN_EVENT:
        signal = StopSignal::Terminate;
        break;
    default:
        return FALSE;
    }
    if (received.exchange(true))
        std::_Exit(StopSignalExitStatus(signal));
    {
        std::lock_guard lock(callbackMutex);
        if (callback)
            callback(signal);
    }
    if (signal != StopSignal::Interrupt)
        ::WaitForSingleObject(finished, INFINITE);
    return TRUE;
}

}  // namespace

struct StopSignals::Backend { };

StopSignals::StopSignals(std::function<void(StopSignal)> stop) : backend_(std::make_unique<Backend>())
{
    {
        std::lock_guard lock(callbackMutex);
        callback = std::move(stop);
    }
    received = false;
    finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    {
        std::lock_guard lock(callbackMutex);
        callback = nullptr;
    }
    // The handle stays open: a closing console's handler may still wait on it.
    ::SetEvent(finished);
}

}  // namespace pst
