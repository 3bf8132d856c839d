#include "platform/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pst {

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)), temporary_(path_ + ".tmp")
{
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0)
        failure_ = std::strerror(errno);
}

AtomicFileWriter::~AtomicFileWriter()
{
    abandon();
}

void AtomicFileWriter::write(std::string_view piece)
{
    std::size_t written = 0;
    while (written < piece.size() && failure_.empty()) {
        const ssize_t n = ::write(fd_, piece.data() + written, piece.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failure_ = n < 0 ? std::strerror(errno) : "nothing could be written";
        else
            written += static_cast<std::size_t>(n);
    }
}

std::string AtomicFileWriter::commit()
{
    if (fd_ < 0)
        return failure_.empty() ? "the file was already written" : failure_;
    // The data must be on disk before the rename makes it the file.
    if (failure_.empty() && ::fsync(fd_) != 0)
        failure_ = std::strerror(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && failure_.empty())
        failure_ = std::strerror(errno);
    if (failure_.empty() && ::rename(temporary_.c_str(), path_.c_str()) != 0)
        failure_ = std::strerror(errno);
    if (!failure_.empty())
        ::unlink(temporary_.c_str());
    return failure_;
}

void AtomicFileWriter::abandon()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(temporary_.c_str());
}

std::string writeFileAtomically(const std::string& path, std::string_view content)
{
    AtomicFileWriter writer(path);
    writer.write(content);
    return writer.commit();
}

}  // namespace pst
