// The virtual printer's decoder of printer-language commands outside frames:
// each verdict covers bytes that are there, and a stream decodes to the same
// commands however it is split into reads (text runs may be cut at a read's
// end, so adjacent text is compared joined).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "raw_command_decoder.h"

namespace {

using pst::sim::RawKind;
using pst::sim::RawMatch;

struct Decoded {
    RawKind kind;
    std::vector<std::uint8_t> bytes;
    bool operator==(const Decoded&) const = default;
};

// Decodes what `pending` holds, as far as it can be decided, into `out`;
// leaves the undecided rest in `pending`.
void decode(std::vector<std::uint8_t>& pending, std::vector<Decoded>& out)
{
    std::size_t at = 0;
    while (at < pending.size()) {
        const std::span<const std::uint8_t> view(pending.data() + at, pending.size() - at);
        const RawMatch match = pst::sim::matchRawCommand(view);
        PST_FUZZ_CHECK(pst::sim::rawKindName(match.kind) != nullptr);
        if (match.verdict == RawMatch::Verdict::NeedMore)
            break;
        if (match.verdict == RawMatch::Verdict::NotRaw) {
            PST_FUZZ_CHECK(match.extent == 1);
            ++at;
            continue;
        }
        PST_FUZZ_CHECK(match.extent > 0 && match.extent <= view.size());
        const auto bytes = view.first(match.extent);
        if (match.kind == RawKind::Text) {
            for (const std::uint8_t b : bytes)
                PST_FUZZ_CHECK(b >= 0x20);
        }
        if (match.kind == RawKind::Text && !out.empty() && out.back().kind == RawKind::Text)
            out.back().bytes.insert(out.back().bytes.end(), bytes.begin(), bytes.end());
        else
            out.push_back({match.kind, {bytes.begin(), bytes.end()}});
        at += match.extent;
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 16;
    // A frame's start byte goes to the frame parser, never to the decoder.
    std::vector<std::uint8_t> stream;
    for (std::size_t i = 1; i < size; ++i)
        if (data[i] != 0x02)
            stream.push_back(data[i]);

    std::vector<Decoded> whole;
    std::vector<std::uint8_t> pending = stream;
    decode(pending, whole);
    const std::size_t undecided = pending.size();

    std::vector<Decoded> split;
    pending.clear();
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        const std::size_t end = std::min(stream.size(), at + chunk);
        pending.insert(pending.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                       stream.begin() + static_cast<std::ptrdiff_t>(end));
        decode(pending, split);
    }
    PST_FUZZ_CHECK(whole == split);
    PST_FUZZ_CHECK(pending.size() == undecided);
    return 0;
}
