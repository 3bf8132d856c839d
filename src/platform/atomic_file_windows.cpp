#include "platform/atomic_file.h"
#include "platform/atomic_file_names.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "platform/file_path.h"
#include "platform/windows_error.h"

namespace pst {

// The same promise as on Linux, on the C runtime's descriptors (so the
// writer keeps one shape on both systems): a temporary file of its own
// beside the target, flushed, then moved over the target in one step.
// Windows has no folder descriptor; MoveFileEx with WRITE_THROUGH returns
// only once the new name is on disk, which is what the folder flush does
// there. Access lists are inherited from the folder, so there is no mode
// to carry over.

namespace {

// A temporary file untouched this long belongs to a save that was killed
// before the move.
constexpr auto kLeftoverAge = std::chrono::minutes(1);

// The folder part of a path, with its separator; "." for a bare name.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::wstring widePath(const std::string& folder, const std::string& name)
{
    return (filePath(folder) / filePath(name)).wstring();
}

// Puts `from` in the place of `to`. A file another program holds open (a
// virus scanner or an indexer looking at the new log, for a moment) cannot
// be replaced: such a hold is waited out for half a second before the
// failure is reported. GetLastError() tells why when it fails.
bool replaceFile(const std::wstring& from, const std::wstring& to)
{
    constexpr int kAttempts = 10;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        if (attempt == kAttempts || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            return false;
        ::Sleep(kPauseMs);
    }
}

// Removes the leftovers of killed saves from the folder. A save still
// running holds its file open without sharing, so deleting it fails. There
// is no owner to compare: a folder's access list already decides whose
// files may be deleted in it, and the program folder is the user's own.
void removeLeftovers(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const auto oldest = fs::file_time_type::clock::now() - kLeftoverAge;
    for (fs::directory_iterator entry(filePath(folder), error), end; !error && entry != end;
         entry.increment(error)) {
        // Only the ASCII tail decides; other characters need no conversion
        // (which could throw for a name the code page cannot hold).
        std::string name;
        for (const wchar_t c : entry->path().filename().wstring())
            name += c < 0x80 ? static_cast<char>(c) : '?';
        if (!isTemporaryFileName(name))
            continue;
        std::error_code statusError;
        if (entry->is_symlink(statusError) || !entry->is_regular_file(statusError) ||
            entry->last_write_time(statusError) > oldest || statusError)
            continue;
        ::DeleteFileW(entry->path().wstring().c_str());
    }
}

}  // namespace

std::string randomTemporarySuffix()
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // The runtime's random_device draws on the system's generator (rand_s).
    std::random_device noise;
    std::string suffix;
    for (std::size_t i = 0; i < kTemporarySuffixLength; ++i)
        suffix += kAlphabet[noise() % (sizeof kAlphabet - 1)];
    return suffix;
}

void AtomicFileWriter::open()
{
    const std::size_t slash = path_.find_last_of("/\\");
    name_ = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    if (name_.empty() || name_ == "." || name_ == "..")
        return fail(EISDIR);

    removeLeftovers(folderOf(path_));
    createTemporary();
}

int AtomicFileWriter::openTemporary() const
{
    return ::_wopen(widePath(folderOf(path_), temporary_).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
}

std::ptrdiff_t AtomicFileWriter::writeSome(const char* data, std::size_t size)
{
    // _write takes an unsigned count; large pieces go in slices.
    const unsigned slice = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
    return ::_write(fd_, data, slice);
}

std::string AtomicFileWriter::commit()
{
    if (fd_ < 0)
        return failure_.empty() ? "the file was already written" : failure_;
    // The data must be on disk before the move makes it the file.
    if (failure_.empty() && ::_commit(fd_) != 0)
        fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::_close(fd) != 0)
        fail(errno);
    const std::string folder = folderOf(path_);
    const std::wstring from = widePath(folder, temporary_);
    if (failure_.empty() && !replaceFile(from, widePath(folder, name_)))
        failure_ = windowsErrorText(::GetLastError());
    if (!failure_.empty())
        ::DeleteFileW(from.c_str());
    return failure_;
}

void AtomicFileWriter::abandon()
{
    if (fd_ < 0)
        return;
    ::_close(fd_);
    fd_ = -1;
    ::DeleteFileW(widePath(folderOf(path_), temporary_).c_str());
}

void AtomicFileWriter::closeFolder()
{
    folderFd_ = -1;
}

}  // namespace pst
