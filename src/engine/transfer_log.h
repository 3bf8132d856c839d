#pragma once
// The transfer log of one run: every byte written and received, as
// time-stamped hex dumps, saved as "debug.log" when the run ends.
//
// Lines come from two threads (writes from the worker, received chunks from
// the thread that runs the link's events), so every access is locked.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

namespace pst {

// " yy-mm-dd hh:nn:ss zzz ": blank, date, blank, time, blank, milliseconds, blank.
std::string formatTimeStamp(const std::tm& localTime, int milliseconds);
std::string timeStampNow();

// Appends the 79-character hex dump lines of `count` bytes (16 per line).
void appendHexDump(std::vector<std::string>& lines, const std::uint8_t* bytes, std::size_t count);

class TransferLog {
public:
    void clear();
    void addLine(std::string line);
    void addHexDump(const std::uint8_t* bytes, std::size_t count);

    // "Send %d Bytes" / "Receive %d Bytes" with the time stamp and the dump,
    // under one lock so the lines of one event stay together.
    void addTransfer(const char* verb, const std::uint8_t* bytes, std::size_t count);

    std::vector<std::string> lines() const;

    // Writes the lines, each ended by CR LF, to `path` through a temporary
    // file and a rename, so a failed save never leaves half a log. Returns
    // an empty string on success, otherwise why it failed.
    std::string saveTo(const std::string& path) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace pst
