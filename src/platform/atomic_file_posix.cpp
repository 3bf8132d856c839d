#include "platform/atomic_file.h"
#include "platform/atomic_file_names.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pst {

namespace {

// A temporary file untouched this long belongs to a save that was killed
// (or lost its power) before the rename; a live save also holds its file
// locked, so a slow one is never taken for a leftover.
constexpr std::time_t kLeftoverAgeSeconds = 60;

int closeDescriptor(int fd)
{
    // A close interrupted by a signal has still released the descriptor on
    // Linux; calling it again could close someone else's.
    const int result = ::close(fd);
    return result != 0 && errno == EINTR ? 0 : result;
}

// Removes this user's leftovers of killed saves from the folder: regular
// files only (never a link planted there), and none another save still holds.
void removeLeftovers(int folderFd)
{
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return;
    DIR* list = ::fdopendir(listFd);
    if (!list) {
        closeDescriptor(listFd);
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(list)) {
        if (!isTemporaryFileName(entry->d_name))
            continue;
        struct stat leftover {};
        if (::fstatat(folderFd, entry->d_name, &leftover, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(leftover.st_mode) || leftover.st_uid != ::geteuid() ||
            now - leftover.st_mtime < kLeftoverAgeSeconds)
            continue;
        const int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folderFd, entry->d_name, 0);
        closeDescriptor(fd);
    }
    ::closedir(list);
}

}  // namespace

std::string randomTemporarySuffix()
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<std::uint8_t, kTemporarySuffixLength> noise{};
    if (::getrandom(noise.data(), noise.size(), GRND_NONBLOCK) != static_cast<ssize_t>(noise.size())) {
        // Without the kernel's randomness (very early boot) the names are
        // only less surprising; O_EXCL still keeps each save to its own file.
        static std::uint64_t counter = 0;
        std::uint64_t mixed = (static_cast<std::uint64_t>(::getpid()) << 32) ^ ++counter ^
                              reinterpret_cast<std::uintptr_t>(&noise);
        for (auto& byte : noise) {
            byte = static_cast<std::uint8_t>(mixed);
            mixed = mixed * 6364136223846793005ULL + 1442695040888963407ULL;
        }
    }
    std::string suffix;
    for (const std::uint8_t byte : noise)
        suffix += kAlphabet[byte % (sizeof kAlphabet - 1)];
    return suffix;
}

void AtomicFileWriter::open()
{
    const std::size_t slash = path_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path_.substr(0, slash);
    name_ = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    if (name_.empty() || name_ == "." || name_ == "..")
        return fail(EISDIR);

    // Everything after this goes through the folder's descriptor, so the
    // temporary file, the rename and the flush all act on the same folder
    // even if a name on the way to it is swapped meanwhile.
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0)
        return fail(errno);

    removeLeftovers(folderFd_);

    // The kernel applies the umask to 0644 for a new file; a replaced file
    // keeps what its owner chose. A link in the file's place is replaced,
    // not followed: its target's mode says nothing about this file.
    struct stat old {};
    const bool replacing =
        ::fstatat(folderFd_, name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode);

    if (!createTemporary())
        return;
    // Held until the rename is done: the mark of a save still running.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0)
        fail(errno);
    if (replacing && ::fchmod(fd_, old.st_mode & 07777) != 0)
        fail(errno);
}

int AtomicFileWriter::openTemporary() const
{
    return ::openat(folderFd_, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

std::ptrdiff_t AtomicFileWriter::writeSome(const char* data, std::size_t size)
{
    ssize_t n;
    do {
        n = ::write(fd_, data, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

std::string AtomicFileWriter::commit()
{
    if (fd_ < 0) {
        closeFolder();
        return failure_.empty() ? "the file was already written" : failure_;
    }
    // The data must be on disk before the rename makes it the file. The
    // file stays open (and locked) through the rename, so that no other
    // save takes it for a leftover in between.
    if (failure_.empty() && ::fsync(fd_) != 0)
        fail(errno);
    const bool renamed =
        failure_.empty() && ::renameat(folderFd_, temporary_.c_str(), folderFd_, name_.c_str()) == 0;
    if (failure_.empty() && !renamed)
        fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (closeDescriptor(fd) != 0)
        fail(errno);
    if (!renamed) {
        ::unlinkat(folderFd_, temporary_.c_str(), 0);
    } else if (::fsync(folderFd_) != 0 && errno != EINVAL) {
        // The new name is in place but may not survive a power loss. EINVAL
        // is a file system that has nothing to flush for a folder.
        fail(errno);
    }
    closeFolder();
    return failure_;
}

void AtomicFileWriter::abandon()
{
    if (fd_ < 0)
        return;
    closeDescriptor(fd_);
    fd_ = -1;
    ::unlinkat(folderFd_, temporary_.c_str(), 0);
}

void AtomicFileWriter::closeFolder()
{
    if (folderFd_ >= 0)
        closeDescriptor(folderFd_);
    folderFd_ = -1;
}

}  // namespace pst
