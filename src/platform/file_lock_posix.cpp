#include "platform/file_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pst {

FileLock::FileLock(const std::string& path)
{
    // Never through a link: a lock file planted as a link elsewhere must
    // not make the program create or open that file.
    const std::string lockPath = path + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        failure_ = lockPath + ": " + std::strerror(errno);
        return;
    }
    int result = 0;
    while ((result = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) { }
    if (result != 0) {
        failure_ = lockPath + ": " + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock()
{
    // Closing releases the lock; the file stays for the next one.
    if (fd_ >= 0)
        ::close(fd_);
}

}  // namespace pst
