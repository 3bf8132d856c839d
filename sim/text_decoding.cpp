#include "text_decoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace pst::sim {
namespace {

void appendEscaped(std::string& out, unsigned char byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(byte));
    out += text;
}

}  // namespace

std::string decodePrinterText(std::string_view bytes, const char* charset)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(bytes);

    iconv_t converter = ::iconv_open("UTF-8", charset);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        std::string out;
        for (char c : bytes)
            appendEscaped(out, static_cast<unsigned char>(c));
        return out;
    }
    std::string in(bytes);
    std::string out;
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An undecodable or truncated sequence: keep its first byte
            // visibly and carry on after it.
            appendEscaped(out, static_cast<unsigned char>(*inPtr));
            ++inPtr;
            --inLeft;
            ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ::iconv_close(converter);
    return out;
}

}  // namespace pst::sim
