#include "protocol/legacy_text.h"

#include <algorithm>
#include <string>

#include "protocol/input_error.h"
#include "protocol/legacy_text_conversion.h"

namespace pst {

namespace {

std::string quoted(const LegacyTextField& field)
{
    return "The " + std::string(field.name);
}

RefusalValue nameOf(const LegacyTextField& field)
{
    return RefusalValue::messageKey(std::string(field.messageKey));
}

// Length of the well-formed UTF-8 sequence at the start of `text`, 0 when
// it is not one (overlong forms, surrogates and values past U+10FFFF are not).
std::size_t utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned min = 0;
    unsigned value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        value = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i) & 0x3Fu);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

bool isValidUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeLegacyText(std::string_view text, const LegacyTextField& field)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return {text.begin(), text.end()};

    if (!isValidUtf8(text))
        throw EInvalidInput::withMessageValues("sTextNotUtf8Msg", {nameOf(field)},
                                               quoted(field) + " is not valid UTF-8 text");

    PrinterCodePageText converted = convertToPrinterCodePage(text);
    if (converted.outcome == PrinterCodePageText::Outcome::Unavailable)
        throw EInvalidInput::withMessageValues(
            "sNoCodePageMsg", {nameOf(field), std::string(kPrinterCodePage)},
            quoted(field) +
                " holds characters other than ASCII, and this system cannot "
                "convert text to the printer's code page (" +
                kPrinterCodePage + ")");
    if (converted.outcome == PrinterCodePageText::Outcome::Unconvertible) {
        const std::string_view rest = text.substr(converted.failedAt);
        const std::size_t length = rest.empty() ? 0 : utf8SequenceLength(rest);
        const std::string character(rest.substr(0, length));
        throw EInvalidInput::withMessageValues("sCharacterNotShownMsg", {nameOf(field), character},
                                               quoted(field) +
                                                   " holds a character the printer cannot show ('" +
                                                   character + "'); use ASCII or Chinese (GBK) characters");
    }
    return std::move(converted.bytes);
}

std::vector<std::uint8_t> EncodeLegacyText(std::string_view text, const LegacyTextField& field,
                                           std::size_t maxBytes)
{
    std::vector<std::uint8_t> bytes = EncodeLegacyText(text, field);
    if (bytes.size() > maxBytes)
        throw EInvalidInput::withMessageValues(
            "sTextTooLongMsg", {nameOf(field), std::to_string(bytes.size()), std::to_string(maxBytes)},
            quoted(field) + " is too long: " + std::to_string(bytes.size()) +
                " bytes in the printer's code page, at most " + std::to_string(maxBytes) +
                " fit (a Chinese character takes two)");
    return bytes;
}

}  // namespace pst
