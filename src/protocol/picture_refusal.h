#pragma once
// Why a picture file cannot become a logo, as refusals the windows and the
// command line show in the chosen language. `reader` words the English log
// text ("picture", "BMP picture").

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/input_error.h"

namespace pst {

enum class PictureProblem {
    UnknownFormat,  // no picture type this tool reads
    Damaged,        // cut short or spoilt
    TooLarge,       // more bytes than the decoder takes
    Header,         // a header this tool does not read
    Compressed,     // a compression this tool does not read
};

EInvalidInput PictureRefusal(const std::string& name, std::string_view reader, PictureProblem problem,
                             const std::string& logReason);
EInvalidInput PictureSizeRefusal(const std::string& name, std::string_view reader, std::int64_t width,
                                 std::int64_t height);
EInvalidInput PictureBitsRefusal(const std::string& name, std::string_view reader, int bitsPerPixel);
EInvalidInput PictureNotOpenedRefusal(const std::string& path);

}  // namespace pst
