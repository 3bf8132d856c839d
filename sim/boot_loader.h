#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace pst::sim {

// The printer's loader, which runs instead of the printer's program: it
// answers the probe byte 0x61 with the same byte and takes a firmware
// stream that starts 1F 75 00 01 and two size bytes. Nothing else is
// answered.
struct BootLoader {
    bool active = false;
    bool streaming = false;
    std::uint16_t announcedSize = 0;  // the header's low 16 bits of the size
    std::uint64_t firmwareBytes = 0;  // stream bytes after the header
    std::uint64_t probesAnswered = 0;
    std::uint64_t streamsTaken = 0;  // firmware streams flashed

    // Takes what the host sent; returns what the loader answers. A stream
    // is over once the host has been quiet for a while (it waits for the
    // flashing); then the loader listens for probes again.
    std::vector<std::uint8_t> take(std::span<const std::uint8_t> bytes,
                                   std::chrono::steady_clock::time_point arrivedAt);

private:
    std::uint8_t header_[6] = {};
    std::size_t headerLength_ = 0;
    std::chrono::steady_clock::time_point lastStreamByte_{};
};

}  // namespace pst::sim
