#include "platform/ini_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <unordered_set>

#include "platform/atomic_file.h"
#include "platform/file_lock.h"
#include "platform/file_path.h"
#include "platform/int_conversion.h"
#include "platform/text_compare.h"

namespace pst {

namespace {

constexpr std::size_t npos = std::string::npos;
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// "[name]" -> name; anything else -> nullopt.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(line.substr(1, close - 1));
}

bool isComment(std::string_view line)
{
    line = trim(line);
    return !line.empty() && line.front() == ';';
}

// "key = value" -> (key, value) with both trimmed.
std::optional<std::pair<std::string_view, std::string_view>> entry(std::string_view line)
{
    if (isComment(line))
        return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return std::pair{trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

// Names compare without regard to ASCII case: the index holds them lowered.
std::string folded(std::string_view name)
{
    std::string lower(trim(name));
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string keyOf(std::string_view section, std::string_view key)
{
    return folded(section) + '\n' + folded(key);
}

std::string unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

}  // namespace

IniDocument IniDocument::load(const std::string& path)
{
    std::ifstream in(filePath(path), std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

IniDocument IniDocument::parse(std::string_view text)
{
    IniDocument doc;
    if (text.substr(0, 3) == kByteOrderMark) {
        text.remove_prefix(3);
        doc.byteOrderMark_ = true;
    }
    doc.lineEnd_ = text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos
        ? "\r\n"
        : "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        doc.lines_.emplace_back(line);
        start = end + 1;
    }
    doc.buildIndex();
    return doc;
}

void IniDocument::buildIndex()
{
    sections_.clear();
    keys_.clear();
    std::string_view section;
    bool firstOfItsName = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = sectionName(lines_[i])) {
            section = *name;
            firstOfItsName = sections_.emplace(folded(*name), i).second;
        } else if (firstOfItsName) {
            // Only the first section of a name is read, and in it the first
            // line of a key.
            if (const auto e = entry(lines_[i]))
                keys_.emplace(keyOf(section, e->first), i);
        }
    }
}

void IniDocument::shiftIndex(std::size_t from)
{
    for (auto* index : {&sections_, &keys_})
        for (auto& [name, line] : *index)
            if (line >= from)
                ++line;
}

std::size_t IniDocument::findSection(std::string_view section) const
{
    const auto found = sections_.find(folded(section));
    return found == sections_.end() ? npos : found->second;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines_.size() && !sectionName(lines_[i]))
        ++i;
    return i;
}

std::size_t IniDocument::findKey(std::string_view section, std::string_view key) const
{
    const auto found = keys_.find(keyOf(section, key));
    return found == keys_.end() ? npos : found->second;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const
{
    const std::size_t header = findSection(section);
    if (header == npos)
        return std::nullopt;
    const std::size_t line = findKey(section, key);
    if (line == npos)
        return std::nullopt;
    return unquote(entry(lines_[line])->second);
}

std::vector<std::string> IniDocument::keys(std::string_view section) const
{
    std::vector<std::string> names;
    const std::size_t header = findSection(section);
    if (header == npos)
        return names;
    const std::size_t end = sectionEnd(header);
    std::unordered_set<std::string> seen;
    for (std::size_t i = header + 1; i < end; ++i)
        if (const auto e = entry(lines_[i]); e && seen.insert(folded(e->first)).second)
            names.emplace_back(e->first);
    return names;
}

std::string IniDocument::readString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const
{
    if (auto v = value(section, key))
        return *v;
    return std::string(fallback);
}

std::int32_t IniDocument::readInteger(std::string_view section, std::string_view key,
                                      std::int32_t fallback) const
{
    if (auto v = value(section, key))
        return strToIntDef(*v, fallback);
    return fallback;
}

void IniDocument::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string clean(value);
    for (char& c : clean)
        if (c == '\r' || c == '\n')
            c = ' ';
    const std::string line = std::string(trim(key)) + "=" + clean;
    // A key that reads back as something else (a "[name]", a comment, one
    // holding '=') leaves a line the index must learn from the text.
    const auto written = entry(line);
    const bool readsBack =
        !sectionName(line) && written && equalsIgnoringAsciiCase(written->first, trim(key));

    std::size_t header = findSection(section);
    if (header == npos) {
        // A new section goes at the end, after the last line with content.
        while (!lines_.empty() && trim(lines_.back()).empty())
            lines_.pop_back();
        lines_.push_back("[" + std::string(trim(section)) + "]");
        lines_.push_back(line);
        sections_.emplace(folded(section), lines_.size() - 2);
        keys_.emplace(keyOf(section, key), lines_.size() - 1);
        if (!readsBack)
            buildIndex();
        return;
    }
    if (const std::size_t at = findKey(section, key); at != npos) {
        lines_[at] = line;  // the same key, as the index has it
        if (!readsBack)
            buildIndex();
        return;
    }
    // After the section's last line with content, before any blank lines
    // that separate it from the next section.
    std::size_t insertAt = sectionEnd(header);
    while (insertAt > header + 1 && trim(lines_[insertAt - 1]).empty())
        --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    shiftIndex(insertAt);
    keys_.emplace(keyOf(section, key), insertAt);
    if (!readsBack)
        buildIndex();
}

std::string IniDocument::text() const
{
    std::string out = byteOrderMark_ ? kByteOrderMark : "";
    for (const auto& line : lines_) {
        out += line;
        out += lineEnd_;
    }
    return out;
}

std::string IniDocument::saveTo(const std::string& path) const
{
    return writeFileAtomically(path, text());
}

std::string changeIniFile(const std::string& path, const std::function<void(IniDocument&)>& change)
{
    const FileLock lock(path);
    if (!lock.failure().empty())
        return lock.failure();
    IniDocument file = IniDocument::load(path);
    change(file);
    return file.saveTo(path);
}

}  // namespace pst
