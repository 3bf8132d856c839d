#pragma once
// The printer's bank of stored logos ("1.bin"): a 4096-byte directory of
// 8-byte entries (image address u32, width in bytes u16, height in 8-dot
// bands u16, little-endian), then the images one after another. Logo n is
// the n-th directory entry.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "protocol/input_error.h"
#include "protocol/monochrome_picture.h"

namespace pst {

inline constexpr std::uint32_t kLogoBankBase = 0x1CF000;
inline constexpr std::size_t kLogoDirectorySize = 4096;
inline constexpr std::uint32_t kFirstLogoAddress = kLogoBankBase + kLogoDirectorySize;
inline constexpr std::size_t kLogoDirectoryRoom = kLogoDirectorySize / 8;
inline constexpr std::size_t kLogoBankLimit = 256 * 1024;
inline constexpr const char* kLogoBankFileName = "1.bin";
// What the printer keeps for the images, after the directory.
inline constexpr std::size_t kLogoImageRoom = kLogoBankLimit - kLogoDirectorySize;

// The directory holds the width in bytes and the height in 8-dot bands in
// 16 bits each: no picture may be wider or higher than this many dots.
inline constexpr int kLogoMaxDots = 65535 * 8;
inline constexpr const char* kLogoSizeErrorKey = "sLogoSizeError";

bool FitsLogoDirectory(const MonochromePicture& picture);

// The bytes a logo of this many dots takes in the bank: whole bytes across,
// whole 8-dot bands down. Sizes from a file's header may be anything, hence
// the wide types.
std::uint64_t LogoImageSize(std::int64_t widthDots, std::int64_t heightDots);

// Refusal (key sLogoBankTooLargeMsg) of a download whose logos together
// need more than the printer keeps.
EInvalidInput LogoBankTooLargeRefusal();

struct LogoImage {
    std::uint16_t widthBytes = 0;
    std::uint16_t heightBands = 0;
    std::vector<std::uint8_t> bytes;  // widthBytes × heightBands × 8
};

// Rows from the top, byte columns from the left, the leftmost dot in bit 7;
// a set bit is a black dot, dots beyond the picture are clear. Throws
// EInvalidInput (kLogoSizeErrorKey) for a picture the directory cannot
// describe.
LogoImage EncodeLogoImage(const MonochromePicture& picture);

// The whole bank for these pictures in order. Throws EInvalidInput, before
// building anything, when there are more than the directory has room for
// or one of them does not fit its fields (kLogoSizeErrorKey).
std::vector<std::uint8_t> BuildLogoBank(const std::vector<MonochromePicture>& pictures);

// Decodes one picture file; throws std::exception with a text naming the
// file when it is not a picture it can read.
using PictureLoader = std::function<MonochromePicture(const std::string& path)>;

// The bank for the list of picture files: files that do not exist are
// skipped (the later logos move up a number). Refuses, before loading
// anything, more existing files than the directory holds; a file the
// loader refuses stops the build with the loader's text; a picture too
// wide or too high for the directory stops it with EInvalidInput
// (kLogoSizeErrorKey, the file named in its detail); so do logos that
// together outgrow the printer's room (LogoBankTooLargeRefusal), as soon
// as they do: a bank built is always one the printer can take.
std::vector<std::uint8_t> BuildLogoBankFromFiles(const std::vector<std::string>& paths,
                                                 const PictureLoader& load);

// The addresses, first and last, where a write of `length` bytes from
// `start` meets the logo bank's area (directory and images); nothing when
// it stays clear of it.
struct AddressSpan {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};
std::optional<AddressSpan> LogoAreaOverlap(std::uint32_t start, std::uint64_t length);

// "BMP 文件不能超过256" when the bank is over the printer's limit; empty
// when it fits.
std::string LogoBankSizeProblem(std::size_t bankSize);

}  // namespace pst
