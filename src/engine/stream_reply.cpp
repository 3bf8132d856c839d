#include "engine/stream_reply.h"

#include <algorithm>
#include <cstring>

#include "protocol/reply_check.h"

namespace pst {

StreamReply::StreamReply(Context context) : context_(std::move(context)) { }

void StreamReply::received(const std::uint8_t* bytes, std::size_t count)
{
    // The boot loader's bytes are taken even between runs: it answers a
    // byte at a time, whenever it is ready.
    const bool raw = context_.rawReceiveMode && context_.rawReceiveMode->load();
    if (!raw && context_.operation->load() == 0) {
        if (context_.showUnsolicited)
            context_.showUnsolicited(bytes, count);
        return;
    }
    // Logged under the lock, so that a write the worker logs after it has
    // dropped this chunk comes after it in the log too.
    std::lock_guard lock(mutex_);
    context_.log->addTransfer("Receive", bytes, count);
    if (raw) {
        assembler_.storeRaw(bytes, count);
        return;
    }
    if (assembler_.feed(bytes, count))
        complete_.set();
}

void StreamReply::beforeWrite(std::span<const std::uint8_t> request)
{
    std::lock_guard lock(mutex_);
    assembler_.reset();
    assembler_.expect(expectationOf(request));
    complete_.reset();
}

bool StreamReply::await(std::chrono::milliseconds timeout)
{
    return complete_.wait(timeout) == WaitResult::Signalled;
}

std::uint32_t StreamReply::takePayload(std::uint8_t* out, std::size_t capacity)
{
    std::lock_guard lock(mutex_);
    const std::uint32_t n = assembler_.payloadLength();
    std::copy_n(assembler_.payload(), std::min<std::size_t>(n, capacity), out);
    return n;
}

int StreamReply::rawFirstByte()
{
    std::lock_guard lock(mutex_);
    return assembler_.position() > 0 ? assembler_.buffer()[0] : -1;
}

void StreamReply::clearRaw()
{
    std::lock_guard lock(mutex_);
    assembler_.reset();
}

}  // namespace pst
