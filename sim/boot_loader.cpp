#include "boot_loader.h"

namespace pst::sim {

namespace {
constexpr std::uint8_t kProbe = 0x61;
// The host writes every 400 ms while streaming.
constexpr std::chrono::seconds kStreamEndsAfter{2};
constexpr std::uint8_t kStreamStart[4] = {0x1F, 0x75, 0x00, 0x01};
}  // namespace

std::vector<std::uint8_t> BootLoader::take(std::span<const std::uint8_t> bytes,
                                           std::chrono::steady_clock::time_point arrivedAt)
{
    std::vector<std::uint8_t> answer;
    if (streaming && arrivedAt - lastStreamByte_ > kStreamEndsAfter) {
        streaming = false;
        ++streamsTaken;
    }
    for (const std::uint8_t b : bytes) {
        if (streaming) {
            ++firmwareBytes;
            lastStreamByte_ = arrivedAt;
            continue;
        }
        if (headerLength_ < 4 && b == kStreamStart[headerLength_]) {
            header_[headerLength_++] = b;
            continue;
        }
        if (headerLength_ >= 4) {
            header_[headerLength_++] = b;
            if (headerLength_ == 6) {
                announcedSize = static_cast<std::uint16_t>((header_[4] << 8) | header_[5]);
                streaming = true;
                lastStreamByte_ = arrivedAt;
                headerLength_ = 0;
            }
            continue;
        }
        headerLength_ = 0;
        if (b == kProbe) {
            ++probesAnswered;
            answer.push_back(kProbe);
        }
    }
    return answer;
}

}  // namespace pst::sim
