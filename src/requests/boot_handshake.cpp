#include "requests/boot_handshake.h"

#include "engine/comm_thread.h"
#include "operations/operation.h"
#include "operations/program_update.h"

namespace pst::requests {

bool WorkerBootHandshake::StartHandshakeRun()
{
    return worker_.StartOperation(Operation::BootHandshake);
}

bool WorkerBootHandshake::Busy() const
{
    return worker_.Busy();
}

std::string WorkerBootHandshake::BootReplyText() const
{
    return worker_.BootReplyText();
}

void WorkerBootHandshake::CancelRun()
{
    worker_.CancelOperation();
}

BootRound BootHandshake::Round()
{
    if (cancelled_)
        return BootRound::Cancelled;
    if (worker_.BootReplyText() != kBootReplyMarker) {
        // Refused while the previous handshake still runs; the next round
        // tries again.
        worker_.StartHandshakeRun();
        return BootRound::Polling;
    }
    // The port may only close once the answering run is over, so that the
    // worker never loses its port mid-run.
    return worker_.Busy() ? BootRound::Polling : BootRound::Answered;
}

void BootHandshake::Cancel()
{
    cancelled_ = true;
    worker_.CancelRun();
}

void CloseBootLink(TCommThread& worker)
{
    worker.SetRawReceiveMode(false);
    worker.ReleaseSerialPort();
    worker.SetPortOpen(false);
    worker.SetBootReplyText({});
}

}  // namespace pst::requests
