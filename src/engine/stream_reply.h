#pragma once
// The receiving side of a link that delivers a byte stream (serial port, USB
// device): the component's reader thread hands every read here, and the
// worker waits for the reply these bytes make up.
//
// Every read is logged as a "Receive" dump of its own the moment it comes,
// stamped with its own time: the log shows how the line delivered a reply,
// while the reply itself is still assembled from all the reads.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>

#include "engine/reply_assembler.h"
#include "engine/transfer_log.h"
#include "platform/manual_reset_event.h"

namespace pst {

class StreamReply {
public:
    // What the worker tells the receiving side: whether a run is going (bytes
    // outside one are shown, not assembled), whether raw receive mode is on
    // (nullptr: the link has none), and where unsolicited bytes are shown.
    struct Context {
        TransferLog* log = nullptr;
        const std::atomic<int>* operation = nullptr;
        const std::atomic<bool>* rawReceiveMode = nullptr;
        std::function<void(const std::uint8_t*, std::size_t)> showUnsolicited;
    };

    explicit StreamReply(Context context);

    // Reader thread: the bytes of one read.
    void received(const std::uint8_t* bytes, std::size_t count);

    // Worker thread.
    // Drops what came before `request`; only a reply that answers it is
    // taken from now on.
    void beforeWrite(std::span<const std::uint8_t> request = {});
    bool await(std::chrono::milliseconds timeout);
    std::uint32_t takePayload(std::uint8_t* out, std::size_t capacity);
    int rawFirstByte();
    void clearRaw();

private:
    Context context_;
    std::mutex mutex_;
    ReplyAssembler assembler_;  // guarded by mutex_
    ManualResetEvent complete_;
};

}  // namespace pst
