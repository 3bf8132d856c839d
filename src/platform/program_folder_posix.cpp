#include "platform/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pst {

namespace fs = std::filesystem;

std::string executableFolder()
{
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return fs::current_path(error).string();
    return exe.parent_path().string();
}

std::string userConfigFolder()
{
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    else
        base = fs::temp_directory_path();
    return (base / "pennafor-setting-tool").string();
}

bool folderIsWritable(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

bool folderIsTrusted(const std::string& folder)
{
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return true;
    // The sticky bit does not help: it keeps others from removing this
    // user's files, not from planting their own names first.
    return status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace pst
