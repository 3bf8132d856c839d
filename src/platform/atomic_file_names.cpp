#include "platform/atomic_file_names.h"

#include <algorithm>

namespace pst {

namespace {

constexpr std::string_view kMark = ".pst-";

bool isLetterOrDigit(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string temporaryFileName(std::string_view name, std::string_view suffix)
{
    return std::string(name) + std::string(kMark) + std::string(suffix);
}

bool isTemporaryFileName(std::string_view fileName)
{
    const std::size_t tail = kMark.size() + kTemporarySuffixLength;
    // Some name must come before the mark: a save never writes ".pst-…".
    if (fileName.size() <= tail)
        return false;
    const std::string_view suffix = fileName.substr(fileName.size() - kTemporarySuffixLength);
    return fileName.substr(fileName.size() - tail, kMark.size()) == kMark &&
        std::all_of(suffix.begin(), suffix.end(), isLetterOrDigit);
}

}  // namespace pst
