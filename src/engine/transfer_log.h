#pragma once
// The transfer log of one run: every byte written and received, as
// time-stamped hex dumps, saved as "debug.log" when the run ends.
//
// During the run only the bytes, their time and the plain lines are kept
// (a megabyte sent is a megabyte kept); the 79-character dump lines, five
// times that size, are produced while saving, a piece at a time.
//
// A long transfer (a 16 MiB font is 65536 blocks) would make a log of a
// hundred megabytes that nobody reads: unless asked for in full, the log
// shows the first and the last kShownBlocks blocks of a run and counts the
// ones in between. A block is a "Send" and whatever was received until the
// next one. A heading starts a section of its own, bounded on its own: the
// probes after a failed command never push the command's last blocks out.
//
// Lines come from two threads (writes from the worker, received chunks from
// the thread that runs the link's events), so every access is locked.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace pst {

// " yy-mm-dd hh:nn:ss zzz ": blank, date, blank, time, blank, milliseconds, blank.
std::string formatTimeStamp(const std::tm& localTime, int milliseconds);
std::string timeStampNow();

class TransferLog {
public:
    static constexpr std::size_t kShownBlocks = 50;
    static constexpr std::string_view kBlockVerb = "Send";

    // Every block in the saved log (true), or the bounded log (the default).
    void keepEveryBlock(bool every);
    // Forgets what was logged; keeps the choice above.
    void clear();
    void addLine(std::string_view line);
    // A line that starts a new section (see above).
    void addHeading(std::string_view line);
    // "Send %d Bytes" / "Receive %d Bytes" with the time stamp, then the
    // 79-character hex dump lines of the bytes, 16 to a line; kept together
    // even when the other thread logs at the same time.
    void addTransfer(std::string_view verb, const std::uint8_t* bytes, std::size_t count);

    // Everything logged so far, each line ended by CR LF.
    std::string text() const;

    // Writes the text to `path` through a temporary file and a rename, so a
    // failed save never leaves half a log. Returns an empty string on
    // success, otherwise why it failed.
    std::string saveTo(const std::string& path) const;

private:
    enum class Kind : std::uint8_t { Line, Heading, Transfer };
    struct Record {
        Kind kind;
        std::uint8_t verbLength;  // Transfer: the verb comes first in the arena
        std::uint32_t offset;
        std::uint32_t length;
        std::int64_t timeMs;  // Transfer: when it was logged, ms since the epoch
    };

    void append(Kind kind, std::string_view verb, const void* bytes, std::size_t count, std::int64_t timeMs);
    template <class Sink> void render(Sink&& sink) const;
    // The blocks of each section, the one before the first heading included.
    std::vector<std::size_t> blocksPerSection() const;
    bool startsBlock(const Record& record, bool inBlock) const;

    mutable std::mutex mutex_;
    std::vector<Record> records_;
    std::vector<char> arena_;  // the records' text and bytes, end to end
    bool everyBlock_ = false;
};

}  // namespace pst
