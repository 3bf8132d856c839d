#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

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

// Numbers of `width` bytes, least significant first, as every field is.
inline std::uint32_t readLe(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

inline void putLe(std::uint8_t* out, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace pst::sim::wire
