#include "platform/file_path.h"

namespace pst {

std::filesystem::path filePath(const std::string& utf8)
{
    // A plain std::string would be read in the ANSI code page.
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace pst
