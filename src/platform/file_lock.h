#pragma once
// One program at a time changing a file that several may load, change and
// save (the settings file, a profile): the lock is taken on a file of its
// own beside it (`<file>.lock`), since the file itself is replaced by each
// save and a lock on it would go with the old copy.

#include <string>

namespace pst {

class FileLock {
public:
    // Waits until this process holds the lock of `path`.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Empty when the lock is held, otherwise why it could not be taken.
    const std::string& failure() const { return failure_; }

private:
    std::string failure_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace pst
