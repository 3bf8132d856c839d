#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pst::sim {

// The printer-language commands the printer understands outside frames.
enum class RawKind {
    Text,  // a run of printable bytes
    LineFeed,
    CarriageReturn,
    FormFeed,  // 0C: feed to the next black mark
    Initialize,
    Align,
    PrintMode,
    CharacterSet,
    Cut,
    PrintOrder,
    BlackMarkMode,
    BlackMarkDistance,
    BlackMarkWidth,
    FeedAfterMark,
    EthernetField,
    PaperType,
    UsbType,
    PrintLogo,
    QrCode,
    BluetoothHiding,
    Pair8D,
    Unknown,  // an escape sequence the printer does not know
};

const char* rawKindName(RawKind kind);

struct RawCommand {
    RawKind kind = RawKind::Unknown;
    std::vector<std::uint8_t> bytes;
};

struct RawMatch {
    enum class Verdict { Complete, NeedMore, NotRaw };
    Verdict verdict = Verdict::NotRaw;
    std::size_t extent = 0;
    RawKind kind = RawKind::Unknown;
};

// Judges the bytes at the front of `view` (which never starts with a frame's
// start byte). NotRaw means the first byte means nothing to the printer.
RawMatch matchRawCommand(std::span<const std::uint8_t> view);

}  // namespace pst::sim
