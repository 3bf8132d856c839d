#include "transfer_log.h"

#include "platform/atomic_file.h"
#include "platform/local_time.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

namespace pst {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::size_t kDumpLineWidth = 79;
constexpr std::size_t kDumpLineSize = kDumpLineWidth + 2;  // with CR LF
constexpr std::size_t kTimeStampWidth = 23;
// Rendered text is handed on in pieces of about this size.
constexpr std::size_t kPieceSize = 64 * 1024;

void putTwoDigits(char* out, int value)
{
    out[0] = static_cast<char>('0' + (value / 10) % 10);
    out[1] = static_cast<char>('0' + value % 10);
}

void putTimeStamp(char* s, const std::tm& t, int milliseconds)
{
    std::memcpy(s, " yy-mm-dd hh:nn:ss zzz ", kTimeStampWidth);
    putTwoDigits(&s[1], t.tm_year % 100);
    putTwoDigits(&s[4], t.tm_mon + 1);
    putTwoDigits(&s[7], t.tm_mday);
    putTwoDigits(&s[10], t.tm_hour);
    putTwoDigits(&s[13], t.tm_min);
    putTwoDigits(&s[16], t.tm_sec);
    s[19] = static_cast<char>('0' + (milliseconds / 100) % 10);
    putTwoDigits(&s[20], milliseconds % 100);
}

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Local time of a moment, converted once per second: a long transfer logs
// thousands of moments within the same few seconds.
class LocalTimeCache {
public:
    const std::tm& at(std::time_t seconds)
    {
        if (!valid_ || seconds != seconds_) {
            local_ = localTime(seconds);
            seconds_ = seconds;
            valid_ = true;
        }
        return local_;
    }

private:
    bool valid_ = false;
    std::time_t seconds_ = 0;
    std::tm local_{};
};

void putStampOf(char* out, std::int64_t timeMs, LocalTimeCache& cache)
{
    const std::int64_t seconds = timeMs >= 0 ? timeMs / 1000 : (timeMs - 999) / 1000;
    putTimeStamp(out, cache.at(static_cast<std::time_t>(seconds)), static_cast<int>(timeMs - seconds * 1000));
}

// Columns: 4 blanks, 8 bytes as "xx ", 3 blanks, 8 bytes as "xx ", 3 + 4
// blanks, ';', then one character per byte; then CR LF.
void putDumpLine(char* line, const std::uint8_t* bytes, std::size_t count)
{
    std::memset(line, ' ', kDumpLineWidth);
    line[62] = ';';
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t hexColumn = 4 + i * 3 + (i >= 8 ? 3 : 0);
        line[hexColumn] = kHexDigits[bytes[i] >> 4];
        line[hexColumn + 1] = kHexDigits[bytes[i] & 0x0F];
        line[63 + i] = bytes[i] > 0x20 ? static_cast<char>(bytes[i]) : ' ';
    }
    line[kDumpLineWidth] = '\r';
    line[kDumpLineWidth + 1] = '\n';
}

// Collects rendered text in a fixed buffer and hands it to `sink` in pieces.
template <class Sink> class PieceWriter {
public:
    explicit PieceWriter(Sink& sink) : sink_(sink), buffer_(std::make_unique<char[]>(kPieceSize)) { }
    ~PieceWriter() { flush(); }
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;

    // Room for `size` more characters (at most a piece), which the caller fills.
    char* extend(std::size_t size)
    {
        if (used_ + size > kPieceSize)
            flush();
        char* at = buffer_.get() + used_;
        used_ += size;
        return at;
    }
    void put(std::string_view text)
    {
        while (text.size() > kPieceSize) {
            flush();
            sink_(text.substr(0, kPieceSize));
            text.remove_prefix(kPieceSize);
        }
        std::memcpy(extend(text.size()), text.data(), text.size());
    }
    void flush()
    {
        if (used_ != 0)
            sink_(std::string_view(buffer_.get(), used_));
        used_ = 0;
    }

private:
    Sink& sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

template <class Sink> void putHexDump(PieceWriter<Sink>& out, const std::uint8_t* bytes, std::size_t count)
{
    for (std::size_t offset = 0; offset < count; offset += 16)
        putDumpLine(out.extend(kDumpLineSize), bytes + offset, std::min<std::size_t>(16, count - offset));
}

}  // namespace

std::string formatTimeStamp(const std::tm& t, int milliseconds)
{
    std::string s(kTimeStampWidth, ' ');
    putTimeStamp(s.data(), t, milliseconds);
    return s;
}

std::string timeStampNow()
{
    LocalTimeCache cache;
    std::string s(kTimeStampWidth, ' ');
    putStampOf(s.data(), nowMs(), cache);
    return s;
}

void TransferLog::keepEveryBlock(bool every)
{
    std::lock_guard lock(mutex_);
    everyBlock_ = every;
}

void TransferLog::clear()
{
    std::lock_guard lock(mutex_);
    records_.clear();
    arena_.clear();
}

void TransferLog::append(Kind kind, std::string_view verb, const void* bytes, std::size_t count,
                         std::int64_t timeMs)
{
    verb = verb.substr(0, 255);
    std::lock_guard lock(mutex_);
    const std::size_t at = arena_.size();
    arena_.insert(arena_.end(), verb.begin(), verb.end());
    const auto* first = static_cast<const char*>(bytes);
    arena_.insert(arena_.end(), first, first + count);
    records_.push_back({kind, static_cast<std::uint8_t>(verb.size()), static_cast<std::uint32_t>(at),
                        static_cast<std::uint32_t>(count), timeMs});
}

void TransferLog::addLine(std::string_view line)
{
    append(Kind::Line, {}, line.data(), line.size(), 0);
}

void TransferLog::addHeading(std::string_view line)
{
    append(Kind::Heading, {}, line.data(), line.size(), 0);
}

void TransferLog::addTransfer(std::string_view verb, const std::uint8_t* bytes, std::size_t count)
{
    append(Kind::Transfer, verb, bytes, count, nowMs());
}

// A transfer opens a block when it is a send, or when no block is open
// (what arrives first, or right after a line).
bool TransferLog::startsBlock(const Record& record, bool inBlock) const
{
    return !inBlock || std::string_view(arena_.data() + record.offset, record.verbLength) == kBlockVerb;
}

std::vector<std::size_t> TransferLog::blocksPerSection() const
{
    std::vector<std::size_t> blocks{0};
    bool inBlock = false;
    for (const Record& r : records_) {
        if (r.kind == Kind::Heading)
            blocks.push_back(0);
        else if (r.kind == Kind::Transfer && startsBlock(r, inBlock))
            ++blocks.back();
        inBlock = r.kind == Kind::Transfer;
    }
    return blocks;
}

template <class Sink> void TransferLog::render(Sink&& sink) const
{
    PieceWriter out(sink);
    LocalTimeCache localTime;
    const std::vector<std::size_t> sectionBlocks = blocksPerSection();
    std::size_t section = 0;
    // Blocks firstHidden + 1 to endHidden of the section (counted from 1)
    // are counted, not shown; lines always are.
    std::size_t firstHidden = 0;
    std::size_t endHidden = 0;
    const auto boundSection = [&] {
        const std::size_t blocks = sectionBlocks[section];
        const bool bounded = !everyBlock_ && blocks > 2 * kShownBlocks;
        firstHidden = bounded ? kShownBlocks : blocks;
        endHidden = bounded ? blocks - kShownBlocks : blocks;
    };
    boundSection();
    std::size_t block = 0;   // the record's, counted from 1 in its section
    std::size_t hidden = 0;  // blocks left out since the last record shown
    bool inBlock = false;
    for (const Record& r : records_) {
        const bool opens = r.kind == Kind::Transfer && startsBlock(r, inBlock);
        inBlock = r.kind == Kind::Transfer;
        block += opens ? 1 : 0;
        if (r.kind == Kind::Transfer && block > firstHidden && block <= endHidden) {
            hidden += opens ? 1 : 0;
            continue;
        }
        if (hidden != 0) {
            out.put("... " + std::to_string(hidden) + " blocks not shown ...\r\n");
            hidden = 0;
        }
        const char* verb = arena_.data() + r.offset;
        const char* data = verb + r.verbLength;
        if (r.kind == Kind::Heading) {
            ++section;
            block = 0;
            boundSection();
        }
        if (r.kind != Kind::Transfer) {
            out.put(std::string_view(data, r.length));
            out.put("\r\n");
            continue;
        }
        out.put(std::string_view(verb, r.verbLength));
        out.put(" ");
        out.put(std::to_string(r.length));
        out.put(" Bytes");
        putStampOf(out.extend(kTimeStampWidth), r.timeMs, localTime);
        out.put("\r\n");
        putHexDump(out, reinterpret_cast<const std::uint8_t*>(data), r.length);
    }
}

std::string TransferLog::text() const
{
    std::string text;
    std::lock_guard lock(mutex_);
    render([&text](std::string_view piece) { text.append(piece); });
    return text;
}

std::string TransferLog::saveTo(const std::string& path) const
{
    AtomicFileWriter file(path);
    {
        std::lock_guard lock(mutex_);
        render([&file](std::string_view piece) { file.write(piece); });
    }
    return file.commit();
}

}  // namespace pst
