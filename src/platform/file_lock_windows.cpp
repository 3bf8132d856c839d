#include "platform/file_lock.h"

#include <windows.h>

#include "platform/file_path.h"
#include "platform/windows_error.h"

namespace pst {

FileLock::FileLock(const std::string& path)
{
    const std::string lockPath = path + ".lock";
    const HANDLE handle = ::CreateFileW(filePath(lockPath).wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure_ = lockPath + ": " + windowsErrorText(::GetLastError());
        return;
    }
    // Without LOCKFILE_FAIL_IMMEDIATELY the call waits for the holder.
    OVERLAPPED start{};
    if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &start)) {
        failure_ = lockPath + ": " + windowsErrorText(::GetLastError());
        ::CloseHandle(handle);
        return;
    }
    handle_ = handle;
}

FileLock::~FileLock()
{
    // Closing the handle releases the lock.
    if (handle_)
        ::CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace pst
