#include "operations/program_update.h"

#include <span>
#include <stdexcept>

#include "texts/message_texts.h"
#include "engine/comm_thread.h"
#include "engine/exchanges.h"
#include "engine/link_setup.h"
#include "protocol/program_file.h"
#include "transport/comm.h"
#include "transport/usb_comm.h"

namespace pst {

namespace {

constexpr std::uint16_t kCommandProgramBlock = 0x33;
constexpr std::uint16_t kCommandProgramEnd = 0x2E;
constexpr int kLoaderWritePauseMs = 400;
constexpr int kLoaderFlashPauseMs = 26000;
constexpr int kBootAttempts = 1001;
constexpr std::uint8_t kBootProbe = 0x61;

// The printer restarts into its download state (or its loader): let go of
// the link while it does and take it again. The network link has nothing
// to hold.
void reopenWhileRestarting(TCommThread& worker)
{
    const RunSettings& run = worker.Run();
    if (run.kind == LinkKind::Usb) {
        worker.UsbComm().CloseDevice();
        worker.ShowStatus("等待5秒...");
        worker.Pause(worker.RunHandOver().waitTimeMs);
        worker.UsbComm().OpenDevice();
        worker.SetPortOpen(true);
    } else if (run.kind == LinkKind::Serial) {
        // Same name and speed as before: the component keeps both.
        worker.Comm().ClosePort();
        worker.ShowStatus("等待5秒...");
        worker.Pause(worker.RunHandOver().waitTimeMs);
        worker.Comm().OpenPort();
        worker.SetPortOpen(true);
    }
}

void closeQuietly(TCommThread& worker)
{
    worker.Guarded([&] { worker.CloseLink(); });
}

}  // namespace

void RunProgramUpdate(TCommThread& worker)
{
    const HandOver& handOver = worker.RunHandOver();
    const std::span<const std::uint8_t> image(handOver.programImage);
    bool mismatch = false;
    worker.Guarded([&] {
        worker.OpenLink(worker.Run().comName, worker.Run().transferSpeed);
        if (worker.DeviceModel() != handOver.fileTag) {
            mismatch = true;
            worker.ShowStatus(kProgramFileErrorText);
            worker.RestoreLinkSpeed();
            return;
        }
        Connect(worker);
        reopenWhileRestarting(worker);
        for (std::size_t offset = 0; offset < image.size(); offset += kProgramBlockSize) {
            const auto block = PaddedBlock(image, offset);
            ConfirmedSend(worker, kCommandProgramBlock, static_cast<std::uint32_t>(offset),
                          kConfirmedSendAttempts, block);
            const std::size_t sent = std::min(image.size(), offset + kProgramBlockSize);
            worker.ShowStatus("", static_cast<std::int32_t>(sent), static_cast<std::int32_t>(image.size()));
        }
        ConfirmedSend(worker, kCommandProgramEnd, 0, kConfirmedSendAttempts, {});
        worker.ShowStatus("更新程序完成");
    });
    // A file for another model is a failed run, and the link is let go like
    // after any other failure, so the window can test it again.
    if (mismatch) {
        worker.SetErrorText(kProgramFileErrorText);
        worker.SetErrorCode(1);
    }
    closeQuietly(worker);
}

void RunFirmwareUpdate(TCommThread& worker)
{
    const std::span<const std::uint8_t> image(worker.RunHandOver().programImage);
    worker.Guarded([&] {
        reopenWhileRestarting(worker);
        if (!image.empty()) {
            const auto first = FirmwareFirstWrite(image);
            worker.Pause(kLoaderWritePauseMs);
            worker.WriteBytes(first.data(), first.size());
            worker.Pause(kLoaderWritePauseMs);
            for (std::size_t offset = kProgramBlockSize; offset < image.size(); offset += kProgramBlockSize) {
                const auto block = PaddedBlock(image, offset);
                worker.WriteBytes(block.data(), block.size());
                worker.Pause(kLoaderWritePauseMs);
                const std::size_t sent = std::min(image.size(), offset + kProgramBlockSize);
                worker.ShowStatus("", static_cast<std::int32_t>(sent),
                                  static_cast<std::int32_t>(image.size()));
            }
        }
        worker.ShowStatus(std::string(kProgramUpdatingText));
        worker.Pause(kLoaderFlashPauseMs);
        worker.ShowStatus("更新程序完成");
    });
    closeQuietly(worker);
}

void RunBootHandshake(TCommThread& worker)
{
    worker.SetBootPollMode(true);
    worker.SetRawReceiveMode(true);
    worker.Guarded([&] {
        const RunSettings& run = worker.Run();
        if (run.kind == LinkKind::Serial) {
            worker.Comm().ClosePort();
            worker.Pause(10);
            worker.OpenSerialAtDeviceSpeed(run.comName);
            worker.Pause(100);
        }
        for (int attempt = 0; attempt < kBootAttempts; ++attempt) {
            if (worker.RawFirstByte() == kBootProbe) {
                if (run.kind == LinkKind::Serial)
                    worker.Comm().ClosePort();
                worker.Pause(10);
                break;
            }
            worker.WriteBytes(&kBootProbe, 1);
            worker.Pause(50);
        }
        if (worker.RawFirstByte() == kBootProbe) {
            worker.SetBootReplyText(kBootReplyMarker);
            worker.ClearRawReceive();
        }
    });
    // Boot-poll mode turns failed exchanges into successes: it must not
    // outlive the handshake that needs it.
    worker.SetBootPollMode(false);
}

}  // namespace pst
