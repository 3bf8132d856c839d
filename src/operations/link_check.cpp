#include "operations/link_check.h"

#include <stdexcept>

#include "engine/operation_context.h"
#include "texts/message_texts.h"

namespace pst {

void RunLinkTest(OperationContext& context)
{
    const RunSettings& run = context.settings();
    bool found = false;
    try {
        if (run.kind == LinkKind::Network) {
            const std::string address = run.ipAddress + ":" + std::to_string(run.port);
            context.showStatus(MessageWithText("sCheckingMsg", address));
            context.openLink();
            context.showStatus(address + " Found");
        } else if (run.kind == LinkKind::Usb) {
            context.openLink();
        } else {
            context.showStatus(MessageWithText("sCheckingMsg", run.comName));
            context.openLink();
            context.restoreLinkSpeed();
            context.showStatus(MessageWithText("sFoundMsg", run.comName));
        }
        found = true;
    } catch (const std::exception& failure) {
        // The window reports only "Connecting Failed"; the cause is kept for
        // those who ask (the command line prints it).
        context.noteFailureCause(failure);
    } catch (...) {
        // A failure with nothing to read: its cause is the policy's text.
        context.noteFailureCause(std::runtime_error("Undefined Error"));
    }
    context.guarded([&] { context.closeLink(); });

    if (found) {
        context.setErrorCode(0);
        context.reportLinkFound();
    } else {
        context.setErrorText("Connecting Failed");
        context.setErrorCode(1);
        context.reportLinkFailed();
    }
}

}  // namespace pst
