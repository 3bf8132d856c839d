#include "operations/program_update.h"

#include <span>
#include <stdexcept>
#include <string>

#include "engine/exchanges.h"
#include "engine/operation_context.h"
#include "engine/run_stopped.h"
#include "operations/raw_sending.h"
#include "operations/run_stopping.h"
#include "protocol/errors.h"
#include "texts/message_texts.h"
#include "protocol/program_file.h"

namespace pst {

namespace {

constexpr std::uint16_t kCommandProgramBlock = 0x33;
constexpr std::uint16_t kCommandProgramEnd = 0x2E;
constexpr int kLoaderWritePauseMs = 400;
constexpr int kLoaderFlashPauseMs = 26000;
constexpr int kBootAttempts = 1001;
constexpr std::uint8_t kBootProbe = 0x61;

// "Waiting N seconds..." for the wait actually asked for, in whole seconds.
std::string waitText(std::int32_t waitTimeMs)
{
    return MessageWithNumbers(kWaitTextKey, {waitTimeMs / 1000});
}

// The printer restarts into its download state (or its loader): let go of
// the link while it does and take it again. The network link has nothing
// to hold.
void reopenWhileRestarting(OperationContext& context)
{
    if (!context.releaseLink())
        return;
    context.showStatus(waitText(context.handOver().waitTimeMs));
    context.pause(context.handOver().waitTimeMs);
    context.retakeLink();
}

void closeQuietly(OperationContext& context)
{
    context.guarded([&] { context.closeLink(); });
}

}  // namespace

void RunProgramUpdate(OperationContext& context)
{
    const HandOver& handOver = context.handOver();
    const std::span<const std::uint8_t> image(handOver.programImage);
    bool mismatch = false;
    context.guarded([&] {
        context.openLink();
        if (context.deviceModel() != handOver.fileTag) {
            mismatch = true;
            context.showStatus(MessageText(kProgramFileErrorKey));
            context.restoreLinkSpeed();
            return;
        }
        const std::size_t blocks = BlocksIn(image.size(), kProgramBlockSize);
        // Until the connect request the printer runs its program untouched.
        StopIfCancelled(context, kStoppedSendingKey, {0, blocks});
        // The connect request's own status texts, around the exchange.
        context.showStatus(MessageText("sMsg3"));
        context.connect();
        context.showStatus(MessageText("sMsg4"));
        reopenWhileRestarting(context);
        for (std::size_t offset = 0; offset < image.size(); offset += kProgramBlockSize) {
            // From here the printer waits in download mode for the rest.
            StopIfCancelled(context, kStoppedSendingKey, {offset / kProgramBlockSize, blocks},
                            kProgramIncompleteKey);
            const auto block = PaddedBlock(image, offset);
            context.confirmedSend(kCommandProgramBlock, static_cast<std::uint32_t>(offset),
                                  kConfirmedSendAttempts, block);
            const std::size_t sent = std::min(image.size(), offset + kProgramBlockSize);
            context.showStatus("", static_cast<std::int32_t>(sent), static_cast<std::int32_t>(image.size()));
        }
        context.confirmedSend(kCommandProgramEnd, 0, kConfirmedSendAttempts, {});
        context.showStatus(MessageText("sFinishPrg"));
    });
    // A file for another model is a failed run, and the link is let go like
    // after any other failure, so the window can test it again.
    if (mismatch) {
        context.setErrorText(MessageText(kProgramFileErrorKey));
        context.setErrorCode(1);
    }
    closeQuietly(context);
}

void RunFirmwareUpdate(OperationContext& context)
{
    const std::span<const std::uint8_t> image(context.handOver().programImage);
    context.guarded([&] {
        // The loader listens on the serial port only, and an empty stream
        // would leave it waiting for a program that never comes.
        if (context.settings().kind != LinkKind::Serial)
            throw ECommunicationException(MessageText("sSerialOnlyMsg"));
        if (image.empty())
            throw ECommunicationException(MessageText("sFileEmptyMsg"));
        reopenWhileRestarting(context);
        const std::size_t blocks = BlocksIn(image.size(), kProgramBlockSize);
        const auto first = FirmwareFirstWrite(image);
        context.pause(kLoaderWritePauseMs);
        StopIfCancelled(context, kStoppedSendingKey, {0, blocks});
        WriteOrFail(context, first);
        context.pause(kLoaderWritePauseMs);
        for (std::size_t offset = kProgramBlockSize; offset < image.size(); offset += kProgramBlockSize) {
            // A cancelled run has no pauses left either: the rest would
            // reach the loader unpaced.
            StopIfCancelled(context, kStoppedSendingKey, {offset / kProgramBlockSize, blocks},
                            kFirmwareIncompleteKey);
            const auto block = PaddedBlock(image, offset);
            WriteOrFail(context, block);
            context.pause(kLoaderWritePauseMs);
            const std::size_t sent = std::min(image.size(), offset + kProgramBlockSize);
            context.showStatus("", static_cast<std::int32_t>(sent), static_cast<std::int32_t>(image.size()));
        }
        context.showStatus(MessageText("sProgramUpdatingMsg"));
        context.pause(kLoaderFlashPauseMs);
        context.showStatus(MessageText("sFinishPrg"));
    });
    closeQuietly(context);
}

void RunBootHandshake(OperationContext& context)
{
    context.setBootPollMode(true);
    context.setRawReceiveMode(true);
    context.guarded([&] {
        context.openLinkForBootLoader();
        for (int attempt = 0; attempt < kBootAttempts && !context.cancelled(); ++attempt) {
            if (context.rawFirstByte() == kBootProbe) {
                context.closeBootLoaderPort();
                context.pause(10);
                break;
            }
            WriteOrFail(context, std::span(&kBootProbe, 1));
            context.pause(50);
        }
        // A cancelled handshake reports no answer, not even one that came.
        if (!context.cancelled() && context.rawFirstByte() == kBootProbe) {
            context.setBootReplyText(kBootReplyMarker);
            context.clearRawReceive();
            return;
        }
        // Unanswered: the port is let go, so that a link test or another
        // program finds it free (the next round opens it afresh).
        context.closeBootLoaderPort();
        if (context.cancelled())
            throw ERunStopped(MessageText(kStoppedLookingKey), 0, 0);
    });
    // Boot-poll mode turns failed exchanges into successes: it must not
    // outlive the handshake that needs it.
    context.setBootPollMode(false);
}

}  // namespace pst
