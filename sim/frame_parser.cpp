#include "frame_parser.h"

#include "frame_builder.h"
#include "wire_format.h"

#include <algorithm>

namespace pst::sim {
void FrameParser::feed(std::span<const std::uint8_t> bytes, Clock::time_point arrivedAt, ParseResult& out)
{
    if (!bytes.empty()) {
        arrivals_.push_back({consumed_ + buffer_.size(), arrivedAt});
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    }

    std::size_t pos = 0;
    while (pos < buffer_.size()) {
        auto start = static_cast<std::size_t>(
            std::find(buffer_.begin() + static_cast<std::ptrdiff_t>(pos), buffer_.end(), wire::kStartByte) -
            buffer_.begin());
        const std::uint64_t strayFrom = std::max(consumed_ + pos, quietUntil_);
        if (consumed_ + start > strayFrom) {
            out.skippedBytes += consumed_ + start - strayFrom;
        }
        pos = start;
        if (pos == buffer_.size()) {
            break;
        }

        const auto view = std::span<const std::uint8_t>(buffer_).subspan(pos);
        std::size_t extent = 0;
        const Verdict verdict = examine(view, extent);
        if (verdict == Verdict::NeedMore) {
            break;
        }
        const std::uint64_t absolute = consumed_ + pos;
        if (verdict == Verdict::Bad) {
            if (absolute >= quietUntil_) {
                ++out.badFrames;
            }
            quietUntil_ = std::max(quietUntil_, absolute + extent);
            ++pos;
            continue;
        }
        out.frames.push_back({decode(view.first(extent)), extent, arrivalOf(absolute)});
        pos += extent;
    }
    discard(pos);
}

void FrameParser::reset()
{
    discard(buffer_.size());
}

FrameParser::Verdict FrameParser::examine(std::span<const std::uint8_t> view, std::size_t& extent)
{
    if (view.size() < wire::kHeaderSize) {
        return Verdict::NeedMore;
    }
    const auto length = soundHeaderLength(view);
    if (!length) {
        extent = wire::kHeaderSize;
        return Verdict::Bad;
    }
    extent = wire::frameLength(*length);
    if (view.size() < extent) {
        return Verdict::NeedMore;
    }
    if (*length > 0 && xorOf(view.subspan(wire::kHeaderSize, *length + 1)) != 0) {
        return Verdict::Bad;
    }
    return Verdict::Complete;
}

std::optional<std::size_t> FrameParser::soundHeaderLength(std::span<const std::uint8_t> header)
{
    const std::size_t length = wire::readLe(header, wire::kLengthOffset, 2);
    if (header[1] != 0 || header[wire::kHeaderSize - 1] != 0 ||
        xorOf(header.first(wire::kHeaderCheckedBytes)) != header[wire::kHeaderCheckOffset] ||
        length > wire::kMaxPayload)
        return std::nullopt;
    return length;
}

ReceivedFrame FrameParser::decode(std::span<const std::uint8_t> frame)
{
    ReceivedFrame decoded;
    decoded.command = static_cast<std::uint16_t>(wire::readLe(frame, wire::kCommandOffset, 2));
    decoded.arg1 = wire::readLe(frame, wire::kArg1Offset, 4);
    decoded.arg2 = wire::readLe(frame, wire::kArg2Offset, 4);
    const std::size_t length = wire::readLe(frame, wire::kLengthOffset, 2);
    const auto payload = frame.subspan(wire::kHeaderSize, length);
    decoded.payload.assign(payload.begin(), payload.end());
    return decoded;
}

Clock::time_point FrameParser::arrivalOf(std::uint64_t absoluteIndex) const
{
    for (auto it = arrivals_.rbegin(); it != arrivals_.rend(); ++it) {
        if (it->firstIndex <= absoluteIndex) {
            return it->at;
        }
    }
    return arrivals_.empty() ? Clock::now() : arrivals_.front().at;
}

void FrameParser::discard(std::size_t count)
{
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count));
    consumed_ += count;
    if (buffer_.empty()) {
        arrivals_.clear();
        return;
    }
    while (arrivals_.size() > 1 && arrivals_[1].firstIndex <= consumed_) {
        arrivals_.pop_front();
    }
}

}  // namespace pst::sim
