#include "json_writer.h"

#include <cstdio>
#include <utility>

namespace pst::sim {

std::string hexBytes(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

JsonWriter& JsonWriter::beginObject()
{
    beforeValue();
    out_ += '{';
    needComma_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    needComma_.pop_back();
    out_ += '}';
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    beforeValue();
    out_ += '[';
    needComma_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    needComma_.pop_back();
    out_ += ']';
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    appendQuoted(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view value)
{
    beforeValue();
    appendQuoted(value);
    return *this;
}

JsonWriter& JsonWriter::text(std::string_view utf8)
{
    beforeValue();
    appendQuoted(utf8, true);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value)
{
    beforeValue();
    out_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::number(long long value)
{
    beforeValue();
    out_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::number(unsigned long long value)
{
    beforeValue();
    out_ += std::to_string(value);
    return *this;
}

void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!needComma_.empty()) {
        if (needComma_.back()) {
            out_ += ',';
        }
        needComma_.back() = true;
    }
}

namespace {

// The code point of the well-formed UTF-8 sequence at the front of `text`
// and its length; length 0 when there is none.
std::pair<unsigned, std::size_t> utf8CodePoint(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned value = 0;
    unsigned min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
        min = 0x10000;
    } else {
        return {0, 0};
    }
    if (text.size() < length)
        return {0, 0};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        value = (value << 6) | (next & 0x3Fu);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return {0, 0};
    return {value, length};
}

void appendUnicodeEscape(std::string& out, unsigned value)
{
    // Callers pass values up to 0xFFFF; the buffer has room for any unsigned.
    char escaped[16];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", value & 0xFFFFu);
    out += escaped;
}

}  // namespace

void JsonWriter::appendQuoted(std::string_view value, bool decodeUtf8)
{
    out_ += '"';
    for (std::size_t at = 0; at < value.size(); ++at) {
        const char c = value[at];
        const auto byte = static_cast<unsigned char>(c);
        if (decodeUtf8 && byte >= 0x80) {
            const auto [codePoint, length] = utf8CodePoint(value.substr(at));
            if (length > 0) {
                if (codePoint > 0xFFFF) {
                    const unsigned offset = codePoint - 0x10000;
                    appendUnicodeEscape(out_, 0xD800 + (offset >> 10));
                    appendUnicodeEscape(out_, 0xDC00 + (offset & 0x3FF));
                } else {
                    appendUnicodeEscape(out_, codePoint);
                }
                at += length - 1;
                continue;
            }
        }
        switch (c) {
        case '"':
            out_ += "\\\"";
            break;
        case '\\':
            out_ += "\\\\";
            break;
        case '\n':
            out_ += "\\n";
            break;
        case '\r':
            out_ += "\\r";
            break;
        case '\t':
            out_ += "\\t";
            break;
        default:
            // Printer text is not guaranteed to be UTF-8; escaping everything
            // outside printable ASCII keeps the file valid whatever the bytes.
            if (byte < 0x20 || byte >= 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(byte));
                out_ += escaped;
            } else {
                out_ += c;
            }
        }
    }
    out_ += '"';
}

}  // namespace pst::sim
