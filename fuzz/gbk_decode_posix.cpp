#include "gbk_decode.h"

#include <iconv.h>

std::string decodeGbk(const std::vector<std::uint8_t>& bytes, bool& ok)
{
    static const iconv_t handle = ::iconv_open("UTF-8", "GBK");
    ok = handle != reinterpret_cast<iconv_t>(-1);
    if (!ok)
        return {};
    ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
    std::string in(bytes.begin(), bytes.end());
    std::string out(bytes.size() * 4 + 4, '\0');
    char* inPointer = in.data();
    std::size_t inLeft = in.size();
    char* outPointer = out.data();
    std::size_t outLeft = out.size();
    ok = ::iconv(handle, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    out.resize(out.size() - outLeft);
    return out;
}
