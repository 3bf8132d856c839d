#include "host_stream.h"

#include "wire_format.h"

namespace pst::sim {

void HostStream::feed(std::span<const std::uint8_t> bytes, Clock::time_point arrivedAt, StreamResult& out)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::size_t pos = 0;
    while (pos < pending_.size()) {
        if (frames_.buffered() > 0 || pending_[pos] == wire::kStartByte) {
            // Byte by byte, so that the parser never takes the bytes that
            // follow the frame it is collecting.
            frames_.feed(std::span(pending_).subspan(pos, 1), arrivedAt, out.frames);
            ++pos;
            continue;
        }
        const RawMatch match = matchRawCommand(std::span(pending_).subspan(pos));
        if (match.verdict == RawMatch::Verdict::NeedMore)
            break;
        if (match.verdict == RawMatch::Verdict::NotRaw) {
            ++out.frames.skippedBytes;
            ++pos;
            continue;
        }
        const auto first = pending_.begin() + static_cast<std::ptrdiff_t>(pos);
        out.rawCommands.push_back({match.kind, {first, first + static_cast<std::ptrdiff_t>(match.extent)}});
        pos += match.extent;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void HostStream::reset()
{
    frames_.reset();
    pending_.clear();
}

}  // namespace pst::sim
