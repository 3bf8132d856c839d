#include "platform/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/file_path.h"

namespace pst {

bool isRegularFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(filePath(path), error);
}

std::optional<std::uintmax_t> readableFileSize(const std::string& path)
{
    if (!std::ifstream(filePath(path), std::ios::binary))
        return std::nullopt;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(filePath(path), error);
    if (error)
        return std::nullopt;
    return size;
}

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path)
{
    std::ifstream in(filePath(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool canWriteFile(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path file = filePath(path);
    const bool existed = std::filesystem::exists(file, error);
    if (existed && !std::filesystem::is_regular_file(file, error))
        return false;
    // Appending changes nothing in a file that is there already.
    const bool opened = static_cast<bool>(std::ofstream(file, std::ios::binary | std::ios::app));
    if (opened && !existed)
        std::filesystem::remove(file, error);
    return opened;
}

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return writeFileAtomically(path,
                               std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))
        .empty();
}

}  // namespace pst
