#include "engine/stream_reply.h"

#include <algorithm>
#include <cstring>

#include "protocol/reply_check.h"

namespace pst {

StreamReply::StreamReply(Context context) : context_(std::move(context)) { }

void StreamReply::received(const std::uint8_t* bytes, std::size_t count)
{
    if (context_.rawReceiveMode && context_.rawReceiveMode->load()) {
        // The boot loader answers a byte at a time; each is logged as it comes.
        std::lock_guard lock(mutex_);
        flushLogLocked();
        context_.log->addTransfer("Receive", bytes, count);
        assembler_.storeRaw(bytes, count);
        return;
    }
    if (context_.operation->load() == 0) {
        if (context_.showUnsolicited)
            context_.showUnsolicited(bytes, count);
        return;
    }
    std::lock_guard lock(mutex_);
    holdForLog(bytes, count);
    if (assembler_.feed(bytes, count)) {
        flushLogLocked();
        complete_.set();
    }
}

void StreamReply::holdForLog(const std::uint8_t* bytes, std::size_t count)
{
    if (heldCount_ + count > held_.size())
        flushLogLocked();
    if (count > held_.size()) {
        context_.log->addTransfer("Receive", bytes, count);
        return;
    }
    std::memcpy(held_.data() + heldCount_, bytes, count);
    heldCount_ += count;
}

void StreamReply::flushLogLocked()
{
    if (heldCount_ == 0)
        return;
    context_.log->addTransfer("Receive", held_.data(), heldCount_);
    heldCount_ = 0;
}

void StreamReply::flushLog()
{
    std::lock_guard lock(mutex_);
    flushLogLocked();
}

void StreamReply::beforeWrite(std::span<const std::uint8_t> request)
{
    std::lock_guard lock(mutex_);
    flushLogLocked();
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
