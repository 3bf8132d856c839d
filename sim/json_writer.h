#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pst::sim {

// Bytes as the state file shows them: two lowercase hex digits each.
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

// Minimal streaming JSON writer: handles commas and string escaping so the
// callers only describe structure.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& string(std::string_view value);
    // UTF-8 text, written so that readers show its characters: each code
    // point outside ASCII as a \u escape; bytes that are not UTF-8 as string().
    JsonWriter& text(std::string_view utf8);
    JsonWriter& boolean(bool value);
    JsonWriter& number(long long value);
    JsonWriter& number(unsigned long long value);

    const std::string& text() const { return out_; }

private:
    void beforeValue();
    void appendQuoted(std::string_view value, bool decodeUtf8 = false);

    std::string out_;
    std::vector<bool> needComma_;  // one entry per open object/array
    bool afterKey_ = false;
};

}  // namespace pst::sim
