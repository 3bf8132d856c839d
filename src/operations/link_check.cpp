#include "operations/link_check.h"

#include "engine/comm_thread.h"

namespace pst {

void RunLinkTest(TCommThread& worker)
{
    const RunSettings& run = worker.Run();
    bool found = false;
    try {
        if (run.kind == LinkKind::Network) {
            const std::string address = run.ipAddress + ":" + std::to_string(run.port);
            worker.ShowStatus("Checking" + address);
            worker.OpenLink(run.comName, run.transferSpeed);
            worker.ShowStatus(address + " Found");
        } else if (run.kind == LinkKind::Usb) {
            worker.OpenLink(run.comName, run.transferSpeed);
        } else {
            worker.ShowStatus("Checking" + run.comName);
            worker.OpenLink(run.comName, run.transferSpeed);
            worker.RestoreLinkSpeed();
            worker.ShowStatus(run.comName + "Found");
        }
        found = true;
    } catch (const std::exception& failure) {
        // The window reports only "Connecting Failed"; the cause is kept for
        // those who ask (the command line prints it).
        worker.NoteFailureCause(failure);
    } catch (...) {
    }
    worker.Guarded([&] { worker.CloseLink(); });

    if (found) {
        worker.SetErrorCode(0);
        worker.ReportLinkFound();
    } else {
        worker.SetErrorText("Connecting Failed");
        worker.SetErrorCode(1);
        worker.ReportLinkFailed();
    }
}

}  // namespace pst
