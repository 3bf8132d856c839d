#pragma once
// The identify exchange every link starts with: the request the printer
// knows itself by, and the model name its reply carries.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pst {

inline constexpr std::uint16_t kCommandIdentify = 0x30;

// The payload of the identify request: a printer only answers this pattern.
inline constexpr std::array<std::uint8_t, 8> kIdentifyProbe{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};

// The model name fills at most this many bytes of the reply, zero-padded.
inline constexpr std::size_t kModelNameBytes = 8;

// The identify request as it goes on every link.
std::vector<std::uint8_t> identifyPacket();

// The model an identify reply names: its payload up to the first zero byte,
// at most kModelNameBytes of it, in upper case.
std::string modelFromIdentifyPayload(std::span<const std::uint8_t> payload);

}  // namespace pst
