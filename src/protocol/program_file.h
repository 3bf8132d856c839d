#pragma once
// Preparing a program or firmware file for the update operations (4, 25):
// the model tag inside a program file, the restart wait, and the loader's
// stream header.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pst {

inline constexpr std::size_t kProgramBlockSize = 256;
// Where a program file names the model it is built for.
inline constexpr std::size_t kProgramTagOffset = 0x3000;
inline constexpr std::size_t kProgramTagSize = 8;
inline constexpr std::size_t kFirmwareHeaderSize = 6;
inline constexpr std::size_t kFirmwareFirstWriteSize = kFirmwareHeaderSize + kProgramBlockSize;

// FileTag: the 8 bytes at 0x3000 read as text up to the first zero byte,
// upper-cased, when the file is longer than 0x3000 bytes; otherwise empty.
std::string ProgramFileTag(std::span<const std::uint8_t> file);

// WaitTimeMs from the wait-time field's whole seconds (checked by the
// request: at most a day, which milliseconds still hold).
constexpr std::int32_t WaitTimeMs(std::int32_t seconds)
{
    return seconds * 1000;
}

// The status-panel text of a program update: prefix ":" file name " Size:n".
std::string ProgramUpdateStatusText(const std::string& prefix, const std::string& path, std::size_t size);

// The loader's first write: 1F 75 00 01, the low 16 bits of the file size
// (high byte first), then the first 256 bytes padded with 0xFF.
std::array<std::uint8_t, kFirmwareFirstWriteSize> FirmwareFirstWrite(std::span<const std::uint8_t> file);

// The 256-byte block at `offset`, padded with 0xFF past the end of the file.
std::array<std::uint8_t, kProgramBlockSize> PaddedBlock(std::span<const std::uint8_t> file,
                                                        std::size_t offset);

}  // namespace pst
