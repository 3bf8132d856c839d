#pragma once
// What logos will print, drawn from the bank's bytes themselves (not from
// the pictures they were made of), so a preview cannot differ from the
// paper.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/logo_bank.h"

namespace pst {

// One byte a dot: 0 black, 255 white, rows from the top.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline constexpr std::uint8_t kPreviewBlack = 0;
inline constexpr std::uint8_t kPreviewWhite = 255;
// Between logos and beside narrower ones: no paper there.
inline constexpr std::uint8_t kPreviewGap = 160;
inline constexpr int kPreviewGapRows = 8;

// The image's dots at their printed size (whole bytes, whole bands).
GreyImage LogoDots(const LogoImage& image);

// Every logo of the bank from the top, each at the left, kPreviewGapRows
// grey rows apart. Throws EInvalidInput when the directory points outside
// the bank or it holds no logo.
GreyImage BankPreview(std::span<const std::uint8_t> bank);

// Writes the image as a grey PNG; throws std::runtime_error naming the file.
void WritePreviewPng(const std::string& path, const GreyImage& image);

}  // namespace pst
