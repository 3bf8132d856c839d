#include "device_link.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pst::sim {

DeviceLink::DeviceLink(std::string linkPath, std::string target)
    : linkPath_(std::move(linkPath)), target_(std::move(target))
{
    struct stat existing { };
    if (::lstat(linkPath_.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        throw std::runtime_error("refusing to replace " + linkPath_ + ": it is not a symbolic link");
    }
    // Built beside the final name and renamed over it, so a stale link from an
    // earlier run is swapped out without a moment where the name is missing.
    const std::string temp = linkPath_ + ".new" + std::to_string(::getpid());
    ::unlink(temp.c_str());
    if (::symlink(target_.c_str(), temp.c_str()) != 0 || ::rename(temp.c_str(), linkPath_.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temp.c_str());
        throw std::runtime_error("cannot create link " + linkPath_ + " -> " + target_ + ": " + reason);
    }
}

DeviceLink::~DeviceLink()
{
    char current[4096];
    const ssize_t n = ::readlink(linkPath_.c_str(), current, sizeof current);
    if (n >= 0 && std::string(current, static_cast<std::size_t>(n)) == target_) {
        ::unlink(linkPath_.c_str());
    }
}

}  // namespace pst::sim
