#pragma once

#include "command_handlers.h"

namespace pst::sim {

namespace command {
inline constexpr std::uint16_t kProgramEnd = 0x2E;
inline constexpr std::uint16_t kConnect = 0x32;
inline constexpr std::uint16_t kProgramBlock = 0x33;
inline constexpr std::uint16_t kReadMemory = 0x34;
inline constexpr std::uint16_t kWriteMemory = 0x35;
}  // namespace command

// The program download (connect, blocks, end) and the memory commands;
// nullptr for any other command.
CommandHandler downloadCommandHandler(std::uint16_t code);

// The model a program names at 0x3000: up to 8 bytes before a zero byte.
std::string programModelTag(const std::vector<std::uint8_t>& image);

// 32-bit sum of the bytes: enough to tell two images apart in the state.
std::uint32_t programChecksum(const std::vector<std::uint8_t>& image);

}  // namespace pst::sim
