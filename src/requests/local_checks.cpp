#include "requests/local_checks.h"

#include "platform/file_bytes.h"
#include "protocol/input_error.h"
#include "texts/message_texts.h"

namespace pst::requests {

std::vector<std::uint8_t> ReadInputFile(const std::string& path)
{
    if (!isRegularFile(path))
        throw EInvalidInput(MessageText("sMsg24"));
    auto bytes = readFileBytes(path);
    if (!bytes)
        throw EInvalidInput(MessageText("sFileUnreadableMsg"));
    if (bytes->empty())
        throw EInvalidInput(MessageText("sFileEmptyMsg"));
    return std::move(*bytes);
}

void CheckInputFile(const std::string& path)
{
    // The same refusals as ReadInputFile, without reading what the download
    // will read again.
    if (!isRegularFile(path))
        throw EInvalidInput(MessageText("sMsg24"));
    const auto size = readableFileSize(path);
    if (!size)
        throw EInvalidInput(MessageText("sFileUnreadableMsg"));
    if (*size == 0)
        throw EInvalidInput(MessageText("sFileEmptyMsg"));
}

void CheckOutputFile(const std::string& path)
{
    if (path.empty() || !canWriteFile(path))
        throw EInvalidInput(MessageText("sOutputFileMsg"));
}

}  // namespace pst::requests
