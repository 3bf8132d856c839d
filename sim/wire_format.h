#pragma once

#include <cstddef>
#include <cstdint>

// Byte layout of the packets exchanged with the host. Requests and replies
// share it, so the printer builds its answers with the same rules it checks.
namespace pst::sim::wire {

inline constexpr std::uint8_t kStartByte = 0x02;
inline constexpr std::size_t kHeaderSize = 16;

inline constexpr std::size_t kCommandOffset = 2;
inline constexpr std::size_t kArg1Offset = 4;
inline constexpr std::size_t kArg2Offset = 8;
inline constexpr std::size_t kLengthOffset = 12;
inline constexpr std::size_t kHeaderCheckOffset = 14;
inline constexpr std::size_t kHeaderCheckedBytes = 14;

// The length field could claim up to 64 KiB; nothing the host sends is that
// large, and trusting garbage would make the printer wait for data that never
// comes.
inline constexpr std::size_t kMaxPayload = 4096;

inline constexpr std::size_t frameLength(std::size_t payloadLength)
{
    return payloadLength == 0 ? kHeaderSize : kHeaderSize + payloadLength + 1;
}

}  // namespace pst::sim::wire
