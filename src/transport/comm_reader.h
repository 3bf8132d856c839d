#pragma once
// The reader thread of an open port. Internal to the transport library.

#include <cstdint>
#include <thread>

#include "transport/comm_channel.h"

namespace pst {

// Error flags of OnReceiveError, with the values the command engine and the
// rest of the program know them by.
inline constexpr std::uint32_t CE_RXOVER = 0x0001;
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;
inline constexpr std::uint32_t CE_FRAME = 0x0008;
inline constexpr std::uint32_t CE_BREAK = 0x0010;

// The driver's running error counts (TIOCGICOUNT) that matter to the reader.
struct LineErrorCounts {
    int frame = 0;
    int parity = 0;
    int overrun = 0;
    int brk = 0;
    int bufOverrun = 0;
};

// The CE_ flags for every count that moved between two readings.
std::uint32_t lineErrorMask(const LineErrorCounts& before, const LineErrorCounts& after);

// Largest chunk handed to OnReceiveData.
inline constexpr std::size_t kReadChunkSize = 2048;

class CommReader {
public:
    CommReader(int fd, const CloseSignal& close, const ReaderTuning& tuning, CommNotifier notifier);
    CommReader(const CommReader&) = delete;
    CommReader& operator=(const CommReader&) = delete;
    ~CommReader();

    // Throws std::system_error when the thread cannot be created.
    void start();
    // The close signal must have been given; returns once the thread is gone.
    void join();

private:
    void run();

    int fd_;
    const CloseSignal& close_;
    const ReaderTuning& tuning_;
    CommNotifier notifier_;
    std::thread thread_;
};

}  // namespace pst
