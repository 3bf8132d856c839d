#include "state_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pst::sim {
namespace {

std::string failure(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string writeFileAtomically(const std::string& path, const std::string& content)
{
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return failure("cannot create", temp);
    }
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::string error = failure("cannot write", temp);
            ::close(fd);
            ::unlink(temp.c_str());
            return error;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        std::string error = failure("cannot write", temp);
        ::unlink(temp.c_str());
        return error;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        std::string error = failure("cannot replace", path);
        ::unlink(temp.c_str());
        return error;
    }
    return {};
}

}  // namespace pst::sim
