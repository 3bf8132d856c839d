#pragma once
// The words of one progress line: how far a transfer is, how fast it goes
// and how long it still needs, worked out from the bytes and the time alone
// so that a test can hold any moment of a transfer still.

#include <cstdint>
#include <string>

namespace pst::cli {

struct ProgressFigures {
    std::int64_t done = 0;   // bytes
    std::int64_t total = 0;  // bytes; above zero
    double seconds = 0;      // since the transfer began
};

// "[#####-----]  45.0%  460.8 KiB / 1.0 MiB  12.3 KiB/s  0:44 left": the bar
// only when `withBar` (a terminal redraws it in place); rate and time left
// once a byte has gone and time has passed, the time taken at the end.
std::string progressLine(const ProgressFigures& figures, bool withBar);

// 512 B, 460.8 KiB, 1.0 MiB.
std::string byteCount(double bytes);

// 0:44, 12:05, 1:02:03.
std::string clockTime(double seconds);

}  // namespace pst::cli
