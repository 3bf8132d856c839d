#include "gbk_decode.h"

#include <windows.h>

std::string decodeGbk(const std::vector<std::uint8_t>& bytes, bool& ok)
{
    ok = true;
    if (bytes.empty())
        return {};
    const char* in = reinterpret_cast<const char*>(bytes.data());
    const int inLength = static_cast<int>(bytes.size());
    // Bytes that are no GBK character fail rather than become U+FFFD.
    const int wideLength = ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, in, inLength, nullptr, 0);
    if (wideLength <= 0) {
        ok = false;
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, in, inLength, wide.data(), wideLength);
    const int outLength = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(outLength), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data(), outLength, nullptr, nullptr);
    return out;
}
