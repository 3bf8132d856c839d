#pragma once
// Where the program keeps its files ("sysconfig.ini", the language files,
// "debug.log", "1.bin"): the executable's folder, or, when that folder is not
// writable, the user's configuration folder. An explicit data folder given
// on the command line overrides both.

#include <string>
#include <vector>

namespace pst {

// The folder of the running executable, without a trailing slash.
std::string executableFolder();

// $XDG_CONFIG_HOME/pennafor-setting-tool, or ~/.config/pennafor-setting-tool;
// on Windows %APPDATA%\pennafor-setting-tool.
std::string userConfigFolder();

// Whether this user may create files in `folder`.
bool folderIsWritable(const std::string& folder);

// Whether the program may keep its files in `folder`: it must belong to this
// user and be writable by no one else (group or others), or another user
// could plant links or files there for the program, perhaps run as root, to
// write through or read. A folder that does not exist is no risk yet.
bool folderIsTrusted(const std::string& folder);

// The folder the program uses. `overrideFolder` wins when not empty and is
// created if missing; otherwise the executable's folder when writable and not
// an installed copy (one with <prefix>/share/pennafor-setting-tool), otherwise
// the user's configuration folder (created on demand).
std::string resolveProgramFolder(const std::string& overrideFolder = {});

// The same folder, without creating it: for what only reads there, or only
// tells where it is.
std::string locateProgramFolder(const std::string& overrideFolder = {});

// Where the files the program ships (the language files) are looked for, in
// order: `programFolder`, so that a user's copy wins; the executable's
// folder (a build, or an unpacked copy); and, for an installed program in
// <prefix>/bin, <prefix>/share/pennafor-setting-tool.
std::vector<std::string> dataSearchFolders(const std::string& programFolder);

// Joins a folder and a file name with exactly one slash.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace pst
