#pragma once
// Where a long operation may stop: between two blocks, never inside one.
// When the run has been asked to stop, nothing more is sent: it ends there
// as stopped (ERunStopped), saying how far it got, and leaves the printer
// the way every other ending does (switched back, link closed).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pst {

class OperationContext;

// Formats with the blocks done and the blocks in all.
inline constexpr std::string_view kStoppedSendingKey = "sStoppedAfterMsg";
inline constexpr std::string_view kStoppedReadingKey = "sStoppedAfterReadMsg";
inline constexpr std::string_view kStoppedVerifyingKey = "sStoppedVerifyingMsg";
// The boot handshake, which has no blocks.
inline constexpr std::string_view kStoppedLookingKey = "sStoppedLookingMsg";
// Second lines: what a stop left the printer in, and what to do about it.
inline constexpr std::string_view kProgramIncompleteKey = "sProgramIncompleteMsg";
inline constexpr std::string_view kFirmwareIncompleteKey = "sFirmwareIncompleteMsg";
// A failure (not a stop) midway: the blocks sent before it, and in all.
inline constexpr std::string_view kFailedSendingKey = "sFailedAfterMsg";

// How far a run got: `done` of `inAll` blocks.
struct BlockCount {
    std::size_t done = 0;
    std::size_t inAll = 0;
};

// The blocks of `blockSize` bytes that `bytes` bytes take, the last one
// short.
std::size_t BlocksIn(std::uintmax_t bytes, std::size_t blockSize);

// `countKey`'s text with the two counts, and `nextStepKey`'s text on a line
// of its own when one is given.
std::string StoppedText(std::string_view countKey, BlockCount count, std::string_view nextStepKey = {});

// Ends the run as stopped, with StoppedText, when it has been asked to stop.
void StopIfCancelled(OperationContext& context, std::string_view countKey, BlockCount count,
                     std::string_view nextStepKey = {});

}  // namespace pst
