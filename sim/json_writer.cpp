#include "json_writer.h"

#include <cstdio>

namespace pst::sim {

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

void JsonWriter::appendQuoted(std::string_view value)
{
    out_ += '"';
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
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
