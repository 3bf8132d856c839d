#pragma once
// Whole files as bytes: what the downloads send, the pictures a logo bank is
// built from, and what a read-back saves. Callers report failures in their
// own words.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pst {

// A regular file (or a link to one); false for folders, devices and names
// that do not exist.
bool isRegularFile(const std::string& path);

// The size of a file that opens for reading, without reading it; nullopt
// when it cannot be opened.
std::optional<std::uintmax_t> readableFileSize(const std::string& path);

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path);

// Whether `path` could be written now: an existing regular file that opens
// for writing, or a new file in a folder that takes it. Nothing is changed:
// a file made to find out is removed again.
bool canWriteFile(const std::string& path);

// Replaces the file's content all at once (see atomic_file.h): a failed
// write keeps the old file, and a link in its place is not followed. False
// when it cannot be written.
bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pst
