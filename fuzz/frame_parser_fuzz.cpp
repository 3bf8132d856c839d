// The virtual printer's frame parser: whatever the host sends, however the
// stream is split into reads, the parser finds the same frames, counts the
// same damage, and never holds more than one frame's worth of bytes.

#include <cstddef>
#include <cstdint>
#include <span>

#include "frame_parser.h"
#include "fuzz_check.h"
#include "wire_format.h"

namespace {

using pst::sim::ParseResult;

bool sameFrames(const ParseResult& a, const ParseResult& b)
{
    if (a.frames.size() != b.frames.size())
        return false;
    for (std::size_t i = 0; i < a.frames.size(); ++i) {
        const auto& x = a.frames[i];
        const auto& y = b.frames[i];
        if (x.wireLength != y.wireLength || x.frame.command != y.frame.command || x.frame.arg1 != y.frame.arg1 ||
            x.frame.arg2 != y.frame.arg2 || x.frame.payload != y.frame.payload)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 32;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    const auto now = pst::sim::Clock::now();
    constexpr std::size_t kMostBuffered = pst::sim::wire::frameLength(pst::sim::wire::kMaxPayload);

    pst::sim::FrameParser whole;
    ParseResult all;
    whole.feed(stream, now, all);
    PST_FUZZ_CHECK(whole.buffered() < kMostBuffered);

    pst::sim::FrameParser pieces;
    ParseResult split;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        pieces.feed(stream.subspan(at, std::min(chunk, stream.size() - at)), now, split);
        PST_FUZZ_CHECK(pieces.buffered() < kMostBuffered);
    }

    PST_FUZZ_CHECK(sameFrames(all, split));
    PST_FUZZ_CHECK(all.badFrames == split.badFrames);
    PST_FUZZ_CHECK(all.skippedBytes == split.skippedBytes);
    PST_FUZZ_CHECK(whole.buffered() == pieces.buffered());

    // Every frame is sound by the parser's own rules and as long as it says.
    std::size_t framed = 0;
    for (const auto& parsed : all.frames) {
        PST_FUZZ_CHECK(parsed.wireLength == pst::sim::wire::frameLength(parsed.frame.payload.size()));
        framed += parsed.wireLength;
    }
    PST_FUZZ_CHECK(framed + all.skippedBytes + whole.buffered() <= stream.size());

    whole.reset();
    PST_FUZZ_CHECK(whole.buffered() == 0);
    return 0;
}
