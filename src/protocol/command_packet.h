#pragma once
// The framed, checksummed request that the printer answers with a packet of
// the same shape. All multi-byte fields are little-endian:
//
//   0  start byte 0x02        8  argument 2 (u32)
//   1  0x00                   12 payload length N (u16)
//   2  command code (u16)     14 header check: XOR of bytes 0..13
//   4  argument 1 (u32)       15 0x00
//   16 payload (N bytes), then its check byte (XOR of the payload) when N > 0

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "protocol/byte_order.h"

namespace pst {

inline constexpr std::size_t kPacketHeaderSize = 16;
inline constexpr std::uint8_t kPacketStartByte = 0x02;

// The confirmed send builds its packet in a 1033-byte frame, which leaves
// room for 1016 payload bytes; longer payloads are refused.
inline constexpr std::size_t kConfirmedSendFrameSize = 1033;
inline constexpr std::size_t kMaxConfirmedPayload = kConfirmedSendFrameSize - kPacketHeaderSize - 1;

enum class PayloadCheck { Append, Omit };

std::uint8_t xorOf(std::span<const std::uint8_t> bytes);

// Builds the packet as it goes on the wire: 16 bytes without payload,
// N + 17 with one (N + 16 when the payload check is omitted, as the
// confirmed send does on the network link).
std::vector<std::uint8_t> buildCommandPacket(std::uint16_t command, std::uint32_t argument1,
                                             std::uint32_t argument2, std::span<const std::uint8_t> payload,
                                             PayloadCheck check = PayloadCheck::Append);

// The header check rule for replies: the XOR of all 16 header bytes is 0.
bool replyHeaderIsValid(const std::uint8_t* header);

}  // namespace pst
