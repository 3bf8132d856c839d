#include "protocol/downloads.h"

#include <cstdio>
#include <stdexcept>

#include "platform/file_bytes.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "protocol/logo_bank.h"

namespace pst {

namespace {

std::string dollarHex(std::uint32_t value, int minimumDigits)
{
    char text[16];
    std::snprintf(text, sizeof text, "$%0*x", minimumDigits, value);
    return text;
}

}  // namespace

DownloadRow FontDownloadRow(const std::string& fontPath, std::int32_t address)
{
    return {fontPath, "FONT", "$35", dollarHex(static_cast<std::uint32_t>(address), 4)};
}

DownloadRow LogoDownloadRow(const std::string& bankPath)
{
    return {bankPath, "LOGO", "$35", dollarHex(kLogoBankBase, 1)};
}

std::string LogoBankPath(const std::string& programFolder)
{
    // One separator on both systems, as every other path of the program
    // folder is joined: Windows takes '/' as well as '\\'.
    return joinPath(programFolder, kLogoBankFileName);
}

void SaveLogoBank(const std::string& path, const std::vector<std::uint8_t>& bank)
{
    if (!writeFileBytes(path, bank))
        throw std::runtime_error("Cannot write " + path);
}

ReadBackRequest ReadBackFromTexts(std::string_view startHexText, std::string_view lengthText)
{
    ReadBackRequest request;
    request.startAddress = hexStrToInt(startHexText);
    request.length = strToInt(lengthText);
    return request;
}

std::string LogoPrintListFor(const std::vector<bool>& selected)
{
    std::string list;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (!selected[i])
            continue;
        if (!list.empty())
            list += ",";
        list += std::to_string(i + 1);
    }
    return list;
}

std::vector<std::size_t> LogoEntriesToDelete(const std::vector<bool>& selected)
{
    std::vector<std::size_t> entries;
    for (std::size_t i = 0; i < selected.size(); ++i)
        if (selected[i])
            entries.push_back(i);
    if (entries.empty() && !selected.empty())
        entries.push_back(selected.size() - 1);
    return entries;
}

}  // namespace pst
