#include <cerrno>
#include <iconv.h>
#include <string>

#include "protocol/legacy_text_conversion.h"

namespace pst {

namespace {

class IconvHandle {
public:
    IconvHandle() : handle_(::iconv_open(kPrinterCodePage, "UTF-8")) { }
    ~IconvHandle()
    {
        if (valid())
            ::iconv_close(handle_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

}  // namespace

PrinterCodePageText convertToPrinterCodePage(std::string_view utf8)
{
    PrinterCodePageText result;
    IconvHandle converter;
    if (!converter.valid())
        return result;
    // GBK never needs more bytes than UTF-8 for the same character.
    std::string in(utf8);
    std::vector<std::uint8_t> out(utf8.size() + 4);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size();
    if (::iconv(converter.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        result.outcome = PrinterCodePageText::Outcome::Unconvertible;
        result.failedAt = static_cast<std::size_t>(inPtr - in.data());
        return result;
    }
    out.resize(out.size() - outLeft);
    result.outcome = PrinterCodePageText::Outcome::Converted;
    result.bytes = std::move(out);
    return result;
}

}  // namespace pst
