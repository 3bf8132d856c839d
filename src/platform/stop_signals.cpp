#include "platform/stop_signals.h"

namespace pst {

int StopSignalExitStatus(StopSignal signal)
{
    switch (signal) {
    case StopSignal::Interrupt:
        return 130;
    case StopSignal::Terminate:
        return 143;
    case StopSignal::HangUp:
        break;
    }
    return 129;
}

const char* StopSignalName(StopSignal signal)
{
    switch (signal) {
    case StopSignal::Interrupt:
        return "Ctrl-C";
    case StopSignal::Terminate:
        return "SIGTERM";
    case StopSignal::HangUp:
        break;
    }
    return "SIGHUP";
}

}  // namespace pst
