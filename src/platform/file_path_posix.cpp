#include "platform/file_path.h"

namespace pst {

std::filesystem::path filePath(const std::string& utf8)
{
    // Names are bytes here: even one that is not UTF-8 opens as given.
    return std::filesystem::path(utf8);
}

}  // namespace pst
