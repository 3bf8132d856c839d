#pragma once

#include "received_frame.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace pst::sim {

using Clock = std::chrono::steady_clock;

struct ParsedFrame {
    ReceivedFrame frame;
    std::size_t wireLength = 0;
    Clock::time_point firstByteAt;  // when its start byte reached the printer
};

struct ParseResult {
    std::vector<ParsedFrame> frames;
    std::uint64_t badFrames = 0;
    std::uint64_t skippedBytes = 0;  // stray bytes outside any frame
};

// Turns a byte stream into frames. Bytes may arrive in any split; a corrupt
// frame is dropped and the stream rescanned from the next start byte, so a
// good frame hidden behind garbage (or inside a damaged frame's claimed
// length) is still found.
class FrameParser {
public:
    void feed(std::span<const std::uint8_t> bytes, Clock::time_point arrivedAt, ParseResult& out);

    // Forgets any partial frame, e.g. after bytes the printer could not decode.
    void reset();

    std::size_t buffered() const { return buffer_.size(); }

    // The payload length a header of 16 bytes announces, when the header is
    // sound (its check, its zero bytes, a length the printer accepts).
    static std::optional<std::size_t> soundHeaderLength(std::span<const std::uint8_t> header);
    // The command, arguments and payload of a frame already found sound.
    static ReceivedFrame decode(std::span<const std::uint8_t> frame);

private:
    enum class Verdict { Complete, Bad, NeedMore };

    // Judges the candidate at the front of `view` (which starts with a start
    // byte). `extent` receives the frame length, or for a bad candidate the bytes
    // it covered.
    static Verdict examine(std::span<const std::uint8_t> view, std::size_t& extent);

    Clock::time_point arrivalOf(std::uint64_t absoluteIndex) const;
    void discard(std::size_t count);

    struct Arrival {
        std::uint64_t firstIndex;
        Clock::time_point at;
    };

    std::vector<std::uint8_t> buffer_;
    std::deque<Arrival> arrivals_;
    std::uint64_t consumed_ = 0;  // absolute stream index of buffer_[0]
    // Candidates starting before this index lie inside something already
    // counted as bad; counting them again would report one corruption many
    // times over.
    std::uint64_t quietUntil_ = 0;
};

}  // namespace pst::sim
