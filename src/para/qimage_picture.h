#pragma once
// Logo pictures decoded by Qt's image readers, black and white by the one
// rule every picture source shares.

#include <string>

#include "protocol/monochrome_picture.h"

namespace pst::para {

// Throws std::runtime_error naming the file when it is not a readable
// picture.
MonochromePicture LoadMonochromePicture(const std::string& path);

}  // namespace pst::para
