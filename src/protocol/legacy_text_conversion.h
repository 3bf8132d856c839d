#pragma once
// The one step of encoding printer text that each system does its own way:
// UTF-8 to GBK (iconv on Linux, code page 936 on Windows). Internal to the
// protocol library; legacy_text.cpp does the checks around it.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pst {

inline constexpr const char* kPrinterCodePage = "GBK";

struct PrinterCodePageText {
    enum class Outcome { Converted, Unconvertible, Unavailable };
    Outcome outcome = Outcome::Unavailable;
    std::vector<std::uint8_t> bytes;  // when Converted
    std::size_t failedAt = 0;         // when Unconvertible: offset of the first character GBK lacks
};

// `utf8` is well-formed UTF-8.
PrinterCodePageText convertToPrinterCodePage(std::string_view utf8);

}  // namespace pst
