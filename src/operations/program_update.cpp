#include "operations/program_update.h"

#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "engine/exchanges.h"
#include "engine/link_kinds.h"
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

// How far an update got once the printer began taking the new program. A
// failure from then on leaves it half written, which the failure must say
// along with what to do; a stop says so itself.
struct HalfWritten {
    std::optional<BlockCount> count;
    bool stopped = false;
};

// Runs `body` under the error policy, telling after a failure how far the
// update got.
void guardedUpdate(OperationContext& context, HalfWritten& progress, std::string_view nextStepKey,
                   const std::function<void()>& body)
{
    const bool completed = context.guarded([&] {
        try {
            body();
        } catch (const ERunStopped&) {
            progress.stopped = true;
            throw;
        }
    });
    if (!completed && progress.count && !progress.stopped)
        context.addToFailure(StoppedText(kFailedSendingKey, *progress.count, nextStepKey));
}

}  // namespace

void RunProgramUpdate(OperationContext& context)
{
    const HandOver& handOver = context.handOver();
    const std::span<const std::uint8_t> image(handOver.programImage);
    bool mismatch = false;
    HalfWritten progress;
    guardedUpdate(context, progress, kProgramIncompleteKey, [&] {
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
        progress.count = BlockCount{0, blocks};
        context.showStatus(MessageText("sMsg4"));
        reopenWhileRestarting(context);
        for (std::size_t offset = 0; offset < image.size(); offset += kProgramBlockSize) {
            // From here the printer waits in download mode for the rest.
            StopIfCancelled(context, kStoppedSendingKey, {offset / kProgramBlockSize, blocks},
                            kProgramIncompleteKey);
            const auto block = PaddedBlock(image, offset);
            context.confirmedSend(kCommandProgramBlock, static_cast<std::uint32_t>(offset),
                                  kConfirmedSendAttempts, block);
            progress.count->done = offset / kProgramBlockSize + 1;
            const std::size_t sent = std::min(image.size(), offset + kProgramBlockSize);
            context.showStatus("", static_cast<std::int32_t>(sent), static_cast<std::int32_t>(image.size()));
        }
        // Until the end is confirmed the printer still waits for the rest.
        context.confirmedSend(kCommandProgramEnd, 0, kConfirmedSendAttempts, {});
        progress.count.reset();
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
    HalfWritten progress;
    guardedUpdate(context, progress, kFirmwareIncompleteKey, [&] {
        // The loader listens on the serial port only, and an empty stream
        // would leave it waiting for a program that never comes.
        if (!linkKindInfo(context.settings().kind).reachesBootLoader)
            throw ECommunicationException(MessageText("sSerialOnlyMsg"));
        if (image.empty())
            throw ECommunicationException(MessageText("sFileEmptyMsg"));
        reopenWhileRestarting(context);
        const std::size_t blocks = BlocksIn(image.size(), kProgramBlockSize);
        const auto first = FirmwareFirstWrite(image);
        context.pause(kLoaderWritePauseMs);
        StopIfCancelled(context, kStoppedSendingKey, {0, blocks});
        // The loader erases as soon as it takes the first block.
        progress.count = BlockCount{0, blocks};
        WriteOrFail(context, first);
        progress.count->done = 1;
        context.pause(kLoaderWritePauseMs);
        for (std::size_t offset = kProgramBlockSize; offset < image.size(); offset += kProgramBlockSize) {
            // A cancelled run has no pauses left either: the rest would
            // reach the loader unpaced.
            StopIfCancelled(context, kStoppedSendingKey, {offset / kProgramBlockSize, blocks},
                            kFirmwareIncompleteKey);
            const auto block = PaddedBlock(image, offset);
            WriteOrFail(context, block);
            progress.count->done = offset / kProgramBlockSize + 1;
            context.pause(kLoaderWritePauseMs);
            const std::size_t sent = std::min(image.size(), offset + kProgramBlockSize);
            context.showStatus("", static_cast<std::int32_t>(sent), static_cast<std::int32_t>(image.size()));
        }
        progress.count.reset();
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
