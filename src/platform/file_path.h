#pragma once
// The program holds every file name as UTF-8 text (typed, taken from the
// command line, read from an INI file). This gives the name as the file
// system takes it: the same bytes on Linux, UTF-16 on Windows whatever its
// ANSI code page, so that a folder named in Chinese opens as typed.

#include <filesystem>
#include <string>

namespace pst {

std::filesystem::path filePath(const std::string& utf8);

}  // namespace pst
