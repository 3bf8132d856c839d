#pragma once
// GBK back to UTF-8 with the system's own converter (iconv, or Windows' code
// page 936), independently of the encoder under test.

#include <cstdint>
#include <string>
#include <vector>

// `ok` false when the bytes do not decode (or the system cannot decode GBK).
std::string decodeGbk(const std::vector<std::uint8_t>& bytes, bool& ok);
