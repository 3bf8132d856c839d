#include "platform/atomic_file.h"
#include "platform/atomic_file_names.h"

#include <cerrno>
#include <cstring>

namespace pst {

namespace {

// Attempts at a fresh temporary name before giving up: a clash needs another
// saver (or a planted file) on the same six random characters.
constexpr int kNameAttempts = 100;

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path))
{
    open();
}

AtomicFileWriter::~AtomicFileWriter()
{
    abandon();
    closeFolder();
}

bool AtomicFileWriter::createTemporary()
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = temporaryFileName(name_, randomTemporarySuffix());
        fd_ = openTemporary();
        if (fd_ >= 0 || errno != EEXIST)
            break;
    }
    if (fd_ >= 0)
        return true;
    temporary_.clear();
    fail(errno);
    return false;
}

void AtomicFileWriter::fail(int error)
{
    if (failure_.empty())
        failure_ = std::strerror(error);
}

void AtomicFileWriter::write(std::string_view piece)
{
    std::size_t written = 0;
    while (written < piece.size() && failure_.empty() && fd_ >= 0) {
        const std::ptrdiff_t n = writeSome(piece.data() + written, piece.size() - written);
        if (n < 0)
            fail(errno);
        else if (n == 0)
            failure_ = "nothing could be written";
        else
            written += static_cast<std::size_t>(n);
    }
}

std::string writeFileAtomically(const std::string& path, std::string_view content)
{
    AtomicFileWriter writer(path);
    writer.write(content);
    return writer.commit();
}

}  // namespace pst
