#pragma once
// INI files with the semantics of the Windows profile-string functions that
// the settings and language files were designed around:
//  - sections and keys match without regard to letter case, the first
//    match wins, blanks around names and values are trimmed, and one pair of
//    quotes around a value is dropped;
//  - a missing file, section or key reads as the caller's default;
//  - writing a key changes only that key's line (or adds one), keeping every
//    other line, comment and blank of the file as it was.
// Files are UTF-8; a byte-order mark is skipped, and written back when the
// file had one, so that a save reads exactly as the file did. Malformed content (binary
// junk, endless lines, keys outside any section) is read as far as it makes
// sense and never fails.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pst {

class IniDocument {
public:
    IniDocument() = default;

    // Reads a file; a missing or unreadable file gives an empty document.
    static IniDocument load(const std::string& path);
    static IniDocument parse(std::string_view text);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The section's keys as the file spells them, in file order; a key
    // written twice is listed once (the first, which is the one read).
    std::vector<std::string> keys(std::string_view section) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // A value that is not a whole number reads as `fallback`.
    std::int32_t readInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;

    // Sets a key, adding the section and the key when missing. Line breaks
    // in the value would split the entry, so they become blanks.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value)
    {
        writeString(section, key, std::to_string(value));
    }

    std::string text() const;

    // Writes through a temporary file and a rename, so that a crash or a full
    // disk never leaves a half-written file. Returns an empty string on
    // success, otherwise the reason.
    std::string saveTo(const std::string& path) const;

private:
    // Index of the section header line, or npos.
    std::size_t findSection(std::string_view section) const;
    // Index of the key's line within the (first) section of that name.
    std::size_t findKey(std::string_view section, std::string_view key) const;
    std::size_t sectionEnd(std::size_t header) const;
    void buildIndex();
    // Lines from `from` on moved down by one.
    void shiftIndex(std::size_t from);

    std::vector<std::string> lines_;
    // Where each section's header and each of its keys is, by their names
    // in lower case, so that reading a value does not go through the whole
    // file: reading every key of a large file stays linear. Only the first
    // section of a name and the first line of a key are listed.
    std::unordered_map<std::string, std::size_t> sections_;
    std::unordered_map<std::string, std::size_t> keys_;  // "<section>\n<key>"
    std::string lineEnd_ = "\r\n";
    bool byteOrderMark_ = false;
};

// Changes the file on disk under its lock (platform/file_lock.h): loads it,
// lets `change` set what it means to, and saves it, so that programs
// changing the same file at once each keep what the others set. Returns an
// empty string on success, otherwise the reason.
std::string changeIniFile(const std::string& path, const std::function<void(IniDocument&)>& change);

}  // namespace pst
