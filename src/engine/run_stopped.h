#pragma once
// How an operation ends a run it was asked to stop (TCommThread::
// cancelOperation): it throws this between two blocks, having sent nothing
// more. The worker ends the run as FailureKind::Stopped rather than as a
// failure, with this text and the counts, so a window can tell a stop it
// asked for from a printer that went wrong.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pst {

class ERunStopped : public std::runtime_error {
public:
    // `text` says how far the run got; the counts are its blocks done (sent
    // or read back) of all it had to do, 0 of 0 when it has no blocks.
    ERunStopped(const std::string& text, std::int32_t blocksDone, std::int32_t blocksInAll)
        : std::runtime_error(text), blocksDone_(blocksDone), blocksInAll_(blocksInAll)
    {
    }

    std::int32_t blocksDone() const { return blocksDone_; }
    std::int32_t blocksInAll() const { return blocksInAll_; }

private:
    std::int32_t blocksDone_;
    std::int32_t blocksInAll_;
};

}  // namespace pst
