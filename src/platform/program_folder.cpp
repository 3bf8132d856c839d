#include "program_folder.h"

#include <filesystem>
#include <system_error>

namespace pst {

namespace fs = std::filesystem;

namespace {

// <prefix>/share/pennafor-setting-tool for an executable in <prefix>/bin.
fs::path installedDataFolder(const fs::path& exeFolder)
{
    return exeFolder.parent_path() / "share" / "pennafor-setting-tool";
}

}  // namespace

std::string locateProgramFolder(const std::string& overrideFolder)
{
    if (!overrideFolder.empty())
        return overrideFolder;
    const std::string exeFolder = executableFolder();
    // An installed copy never writes beside itself, not even for root.
    std::error_code error;
    const bool installed = fs::is_directory(installedDataFolder(exeFolder), error);
    if (!installed && folderIsWritable(exeFolder))
        return exeFolder;
    return userConfigFolder();
}

std::string resolveProgramFolder(const std::string& overrideFolder)
{
    const std::string folder = locateProgramFolder(overrideFolder);
    std::error_code error;
    fs::create_directories(folder, error);
    return folder;
}

std::vector<std::string> dataSearchFolders(const std::string& programFolder)
{
    const fs::path exeFolder = executableFolder();
    return {programFolder, exeFolder.string(), installedDataFolder(exeFolder).string()};
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

}  // namespace pst
