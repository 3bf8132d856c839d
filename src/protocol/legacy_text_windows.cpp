#include <windows.h>

#include "protocol/legacy_text_conversion.h"

namespace pst {

namespace {

// Windows' code page 936 is its GBK: the system code page of the Chinese
// PCs whose text the printer's firmware was made for.
constexpr UINT kGbkCodePage = 936;

std::size_t sequenceLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Appends the GBK bytes of one UTF-8 character; false when GBK lacks it.
// WC_NO_BEST_FIT_CHARS keeps Windows from putting a look-alike (or '?') in
// its place, which would reach the printer as a different text.
bool appendCharacter(std::string_view character, std::vector<std::uint8_t>& out)
{
    wchar_t wide[2];
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, character.data(),
                                                 static_cast<int>(character.size()), wide, 2);
    if (wideLength <= 0)
        return false;
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int length =
        ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide, wideLength, bytes, sizeof bytes, nullptr,
                              &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    out.insert(out.end(), bytes, bytes + length);
    return true;
}

}  // namespace

PrinterCodePageText convertToPrinterCodePage(std::string_view utf8)
{
    PrinterCodePageText result;
    if (!::IsValidCodePage(kGbkCodePage))
        return result;
    // One character at a time, so that a refusal names the character.
    std::vector<std::uint8_t> out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(utf8[at]));
        if (!appendCharacter(utf8.substr(at, length), out)) {
            result.outcome = PrinterCodePageText::Outcome::Unconvertible;
            result.failedAt = at;
            return result;
        }
        at += length;
    }
    result.outcome = PrinterCodePageText::Outcome::Converted;
    result.bytes = std::move(out);
    return result;
}

}  // namespace pst
