#include "requests/field_refusal.h"

#include <algorithm>
#include <cstdio>

#include "platform/int_conversion.h"
#include "protocol/dotted_address.h"
#include "texts/message_texts.h"

namespace pst::requests {

namespace {

std::string hexText(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
    return text;
}

// `format` with each "%s" in turn replaced by the next of `texts`; a
// translation with fewer shows fewer.
std::string withTexts(std::string format, std::initializer_list<std::string_view> texts)
{
    std::size_t from = 0;
    for (const std::string_view text : texts) {
        const std::size_t at = format.find("%s", from);
        if (at == std::string::npos)
            break;
        format.replace(at, 2, text);
        from = at + text.size();
    }
    return format;
}

std::string refusalText(const SettingField& field, std::string_view caption)
{
    switch (field.form) {
    case FieldForm::Decimal:
        return withTexts(MessageWithNumbers("sFieldRangeMsg", {field.lowest, field.highest}), {caption});
    case FieldForm::Hexadecimal:
        return withTexts(MessageText("sFieldHexRangeMsg"), {caption, hexText(field.lowest), hexText(field.highest)});
    case FieldForm::Digits:
        return withTexts(MessageWithNumbers("sFieldDigitsMsg", {field.highest}), {caption});
    case FieldForm::Address:
        break;
    case FieldForm::Text:
    case FieldForm::List:
    case FieldForm::OnOff:
        // Never refused as typed numbers are: the readers refuse these.
        return std::string(caption);
    }
    return withTexts(MessageText("sFieldAddressMsg"), {caption});
}

}  // namespace

EFieldRefusal::EFieldRefusal(const SettingField& field)
    : EInvalidInput(refusalText(field, field.name)), field_(field)
{
}

std::string EFieldRefusal::textFor(std::string_view caption) const
{
    return refusalText(field_, caption.empty() ? field_.name : caption);
}

std::int32_t FieldValue(const SettingField& field, std::int32_t value)
{
    if (value < field.lowest || value > field.highest)
        throw EFieldRefusal(field);
    return value;
}

std::int32_t FieldValue(const SettingField& field, std::string_view text)
{
    const auto value = field.form == FieldForm::Hexadecimal ? parseHexInt32(text) : parseInt32(text);
    if (!value || field.form == FieldForm::Address || field.form == FieldForm::Digits)
        throw EFieldRefusal(field);
    return FieldValue(field, *value);
}

std::string_view FieldDigits(const SettingField& field, std::string_view text)
{
    if (text.size() > static_cast<std::size_t>(field.highest) ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw EFieldRefusal(field);
    return text;
}

bool IsWholeAddress(std::string_view text)
{
    // The platform's check as well: it never takes 255.255.255.255.
    if (!IsAcceptedAddress(text))
        return false;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.');
        if ((part < 3) != (dot != std::string_view::npos))
            return false;
        const std::string_view digits = text.substr(0, dot);
        if (digits.empty() || digits.size() > 3)
            return false;
        int value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        if (value > 255)
            return false;
        text = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    }
    return true;
}

std::array<std::uint8_t, 4> FieldAddress(const SettingField& field, std::string_view text)
{
    if (!IsWholeAddress(text))
        throw EFieldRefusal(field);
    std::array<std::uint8_t, 4> bytes{};
    for (std::uint8_t& byte : bytes) {
        const std::size_t dot = text.find('.');
        byte = static_cast<std::uint8_t>(strToInt(text.substr(0, dot)));
        text = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    }
    return bytes;
}

}  // namespace pst::requests
