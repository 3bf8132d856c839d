#include "operations/raw_sending.h"

#include "engine/comm_thread.h"
#include "transport/comm.h"

namespace pst {

void SendOpenedRaw(TCommThread& worker, std::span<const std::uint8_t> bytes)
{
    worker.OpenLink(worker.Run().comName, worker.Run().transferSpeed);
    worker.WriteBytes(bytes.data(), bytes.size());
    worker.RestoreLinkSpeed();
}

void SendBareRaw(TCommThread& worker, std::span<const std::uint8_t> bytes)
{
    if (worker.Run().kind == LinkKind::Serial) {
        // Name and speed stay as the last open (or the window) left them.
        worker.Comm().ClosePort();
        worker.Pause(10);
        worker.Comm().OpenPort();
        worker.SetPortOpen(true);
    }
    worker.Pause(10);
    worker.WriteBytes(bytes.data(), bytes.size());
    worker.Pause(10);
}

}  // namespace pst
