#pragma once
// Text compared as names are: ASCII letters in either case, every other byte
// as it is (so that multibyte UTF-8 sequences compare byte for byte).

#include <string_view>

namespace pst {

inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

}  // namespace pst
