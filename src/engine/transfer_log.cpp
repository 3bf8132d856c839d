#include "transfer_log.h"

#include "platform/atomic_file.h"

#include <chrono>
#include <cstdio>

namespace pst {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::size_t kDumpLineWidth = 79;

void putTwoDigits(char* out, int value)
{
    out[0] = static_cast<char>('0' + (value / 10) % 10);
    out[1] = static_cast<char>('0' + value % 10);
}

std::string dumpLine(const std::uint8_t* bytes, std::size_t count)
{
    // Columns: 4 blanks, 8 bytes as "xx ", 3 blanks, 8 bytes as "xx ",
    // 3 + 4 blanks, ';', then one character per byte.
    std::string line(kDumpLineWidth, ' ');
    line[62] = ';';
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t hexColumn = 4 + i * 3 + (i >= 8 ? 3 : 0);
        line[hexColumn] = kHexDigits[bytes[i] >> 4];
        line[hexColumn + 1] = kHexDigits[bytes[i] & 0x0F];
        line[63 + i] = bytes[i] > 0x20 ? static_cast<char>(bytes[i]) : ' ';
    }
    return line;
}

}  // namespace

std::string formatTimeStamp(const std::tm& t, int milliseconds)
{
    // " yy-mm-dd hh:nn:ss zzz "
    std::string s = " yy-mm-dd hh:nn:ss zzz ";
    putTwoDigits(&s[1], t.tm_year % 100);
    putTwoDigits(&s[4], t.tm_mon + 1);
    putTwoDigits(&s[7], t.tm_mday);
    putTwoDigits(&s[10], t.tm_hour);
    putTwoDigits(&s[13], t.tm_min);
    putTwoDigits(&s[16], t.tm_sec);
    s[19] = static_cast<char>('0' + (milliseconds / 100) % 10);
    putTwoDigits(&s[20], milliseconds % 100);
    return s;
}

std::string timeStampNow()
{
    const auto now = std::chrono::system_clock::now();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    return formatTimeStamp(local, static_cast<int>(ms));
}

void appendHexDump(std::vector<std::string>& lines, const std::uint8_t* bytes, std::size_t count)
{
    for (std::size_t offset = 0; offset < count; offset += 16)
        lines.push_back(dumpLine(bytes + offset, std::min<std::size_t>(16, count - offset)));
}

void TransferLog::clear()
{
    std::lock_guard lock(mutex_);
    lines_.clear();
}

void TransferLog::addLine(std::string line)
{
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
}

void TransferLog::addHexDump(const std::uint8_t* bytes, std::size_t count)
{
    std::lock_guard lock(mutex_);
    appendHexDump(lines_, bytes, count);
}

void TransferLog::addTransfer(const char* verb, const std::uint8_t* bytes, std::size_t count)
{
    std::string heading = std::string(verb) + " " + std::to_string(count) + " Bytes" + timeStampNow();
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(heading));
    appendHexDump(lines_, bytes, count);
}

std::vector<std::string> TransferLog::lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

std::string TransferLog::saveTo(const std::string& path) const
{
    std::string text;
    {
        std::lock_guard lock(mutex_);
        std::size_t size = 0;
        for (const auto& line : lines_)
            size += line.size() + 2;
        text.reserve(size);
        for (const auto& line : lines_) {
            text += line;
            text += "\r\n";
        }
    }

    return writeFileAtomically(path, text);
}

}  // namespace pst
