#include "platform/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>

namespace pst {

namespace fs = std::filesystem;

std::string executableFolder()
{
    // Long paths (past MAX_PATH) are cut short rather than failing: grow
    // the buffer until the whole name fits.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            std::error_code error;
            return fs::current_path(error).string();
        }
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    return fs::path(name).parent_path().string();
}

std::string userConfigFolder()
{
    fs::path base;
    if (const wchar_t* appData = ::_wgetenv(L"APPDATA"); appData && *appData)
        base = appData;
    else
        base = fs::temp_directory_path();
    return (base / "pennafor-setting-tool").string();
}

bool folderIsWritable(const std::string& folder)
{
    // Access rights on Windows come from the folder's access list, which
    // the read-only attribute does not show: creating a file is the only
    // honest test. The probe is gone again when its handle closes.
    const fs::path probe = fs::path(folder) / ("pennafor-write-test-" + std::to_string(::GetCurrentProcessId()));
    const HANDLE handle = ::CreateFileW(probe.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(handle);
    return true;
}

bool folderIsTrusted(const std::string&)
{
    // No check here: the program folder is the executable's (an installed
    // copy is writable by administrators only) or the user's own profile,
    // whose access list keeps other users out, and Windows has no symbolic
    // links an ordinary user may plant.
    return true;
}

}  // namespace pst
