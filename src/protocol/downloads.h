#pragma once
// What the download page (and the command line) prepares before starting a
// download or read-back: the worker's DownloadList rows, the read-back's
// numbers, the logo bank file, and the logo list's delete and print rules.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/download_list.h"

namespace pst {

// Font row: path, "FONT", "$35", "$" + the address in lower-case
// hexadecimal with at least four digits.
DownloadRow FontDownloadRow(const std::string& fontPath, std::int32_t address);

// Logo row: the bank file, "LOGO", "$35", "$1cf000".
DownloadRow LogoDownloadRow(const std::string& bankPath);

// The bank file's path in the program's folder.
std::string LogoBankPath(const std::string& programFolder);

// Writes the bank to `path`; throws std::runtime_error naming the file.
void SaveLogoBank(const std::string& path, const std::vector<std::uint8_t>& bank);

// Operation 16's arguments from the typed texts: start address in
// hexadecimal, 0x before it or not, length in decimal (or "$" hexadecimal).
// Strict: throws EConvertError with "'%s' is not a valid integer value",
// naming the text as typed.
struct ReadBackRequest {
    std::int32_t startAddress = 0;
    std::int32_t length = 0;
};
ReadBackRequest ReadBackFromTexts(std::string_view startHexText, std::string_view lengthText);

// LogoPrintList: the 1-based positions of the selected entries, "1,3";
// empty when none is selected.
std::string LogoPrintListFor(const std::vector<bool>& selected);

// The entries (0-based, ascending) that delete removes: every selected one,
// or the last when none is selected; none from an empty list.
std::vector<std::size_t> LogoEntriesToDelete(const std::vector<bool>& selected);

}  // namespace pst
