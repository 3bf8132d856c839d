#include "operations/link_check.h"

#include <stdexcept>

#include "engine/link_kinds.h"
#include "engine/operation_context.h"
#include "texts/message_texts.h"

namespace pst {

namespace {

// What the status line says before the link opens and once the printer
// answered; nothing for a kind that tells neither.
struct CheckTexts {
    std::string checking;
    std::string found;
};

CheckTexts checkTexts(const RunSettings& run)
{
    switch (linkKindInfo(run.kind).checkTelling) {
    case LinkCheckTelling::PortName:
        return {MessageWithText("sCheckingMsg", run.comName), MessageWithText("sFoundMsg", run.comName)};
    case LinkCheckTelling::Address: {
        const std::string address = run.ipAddress + ":" + std::to_string(run.port);
        return {MessageWithText("sCheckingMsg", address), address + " Found"};
    }
    case LinkCheckTelling::Silent:
        break;
    }
    return {};
}

}  // namespace

void RunLinkTest(OperationContext& context)
{
    const RunSettings& run = context.settings();
    bool found = false;
    try {
        const CheckTexts texts = checkTexts(run);
        if (!texts.checking.empty())
            context.showStatus(texts.checking);
        context.openLink();
        if (linkKindInfo(run.kind).hasLineSpeed)
            context.restoreLinkSpeed();
        if (!texts.found.empty())
            context.showStatus(texts.found);
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
