#include "requests/boot_handshake.h"

#include "engine/comm_thread.h"
#include "operations/operation.h"
#include "operations/program_update.h"

namespace pst::requests {

bool WorkerBootHandshake::startHandshakeRun()
{
    return worker_.StartOperation(Operation::BootHandshake);
}

bool WorkerBootHandshake::busy() const
{
    return worker_.busy();
}

std::string WorkerBootHandshake::bootReplyText() const
{
    return worker_.bootReplyText();
}

void WorkerBootHandshake::cancelRun()
{
    worker_.cancelOperation();
}

BootRound BootHandshake::round()
{
    if (cancelled_)
        return BootRound::Cancelled;
    if (worker_.bootReplyText() != kBootReplyMarker) {
        // Refused while the previous handshake still runs; the next round
        // tries again.
        worker_.startHandshakeRun();
        return BootRound::Polling;
    }
    // The port may only close once the answering run is over, so that the
    // worker never loses its port mid-run.
    return worker_.busy() ? BootRound::Polling : BootRound::Answered;
}

void BootHandshake::cancel()
{
    cancelled_ = true;
    worker_.cancelRun();
}

void CloseBootLink(TCommThread& worker)
{
    worker.setRawReceiveMode(false);
    worker.releaseSerialPort();
    worker.setPortOpen(false);
    worker.setBootReplyText({});
}

}  // namespace pst::requests
