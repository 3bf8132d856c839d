#pragma once

#include "boot_loader.h"
#include "fault_plan.h"
#include "flash_memory.h"
#include "frame_parser.h"
#include "printer_settings.h"
#include "received_frame.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pst::sim {

// The print mechanism's state between raw commands: the line being
// collected and how its bytes are to be read.
struct PrintHead {
    std::string pendingLine;              // bytes since the last line end
    std::optional<std::uint8_t> charset;  // ESC 9 n; none after ESC @
    std::string qrData;                   // stored by GS ( k, printed on request
};

// The program last downloaded into the printer (connect, blocks, end).
struct ProgramStore {
    bool downloading = false;
    std::vector<std::uint8_t> image;
    std::uint64_t updates = 0;
};

// Everything the printer knows about itself. One struct so that the state
// file always shows the whole picture and one lock guards it.
struct PrinterState {
    static constexpr std::size_t kFrameHistory = 1000;
    static constexpr std::size_t kPrintHistory = 1000;

    std::string model;
    std::string device;
    unsigned startSpeed = 9600;
    unsigned speed = 9600;
    std::uint64_t framesReceived = 0;
    std::uint64_t badFrames = 0;
    std::uint64_t ignoredBytes = 0;
    std::uint64_t skippedBytes = 0;
    std::uint64_t repliesSent = 0;
    std::uint64_t rawCommandsReceived = 0;
    FaultSpec fault;
    std::deque<ReceivedFrame> received;  // newest last, at most kFrameHistory

    PrinterSettings settings;
    // Set when a stored speed change waits for the host to switch the
    // printer back from a temporary speed: the speed the host will ask for.
    std::optional<unsigned> speedChangePendingUntilReturnTo;
    PrintHead printHead;
    std::deque<PrintedItem> printed;           // newest last, at most kPrintHistory
    std::deque<RawCommandRecord> rawReceived;  // newest last, at most kFrameHistory

    FlashMemory flash;
    ProgramStore program;
    BootLoader loader;
    // After the connect request the printer restarts and hears nothing
    // until this time.
    std::chrono::milliseconds restartPause{2000};
    Clock::time_point silentUntil{};

    void recordFrame(const ReceivedFrame& frame);
    void recordPrinted(PrintedItem item);
    void recordRaw(RawCommandRecord record);
};

}  // namespace pst::sim
