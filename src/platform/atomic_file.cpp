#include "platform/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pst {

std::string writeFileAtomically(const std::string& path, std::string_view content)
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::strerror(errno);

    std::string failure;
    std::size_t written = 0;
    while (written < content.size() && failure.empty()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failure = n < 0 ? std::strerror(errno) : "nothing could be written";
        else
            written += static_cast<std::size_t>(n);
    }
    // The data must be on disk before the rename makes it the file.
    if (failure.empty() && ::fsync(fd) != 0)
        failure = std::strerror(errno);
    if (::close(fd) != 0 && failure.empty())
        failure = std::strerror(errno);
    if (failure.empty() && ::rename(temporary.c_str(), path.c_str()) != 0)
        failure = std::strerror(errno);
    if (!failure.empty())
        ::unlink(temporary.c_str());
    return failure;
}

}  // namespace pst
