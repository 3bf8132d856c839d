#pragma once
// The two ways of writing bytes the printer does not answer.
//
// Opened: the full link setup (open, speed switch, identify), one write,
// the speed switch back. Bare: no exchange at all; on a serial link the port
// is closed and reopened 10 ms apart at the speed last set on it, then one
// write between two 10 ms pauses. Neither closes the link: the next
// operation's open does.
//
// Nobody answers these bytes, so all a run can tell is that they went out:
// it says so with `sentKey`'s text, and fails when the link did not take
// them.

#include <cstdint>
#include <span>
#include <string_view>

namespace pst {

class OperationContext;

inline constexpr std::string_view kSentNoReplyKey = "sSentNoReplyMsg";

void SendOpenedRaw(OperationContext& context, std::span<const std::uint8_t> bytes,
                   std::string_view sentKey = kSentNoReplyKey);
void SendBareRaw(OperationContext& context, std::span<const std::uint8_t> bytes,
                 std::string_view sentKey = kSentNoReplyKey);

// One write the link must take; a refused one fails the run.
void WriteOrFail(OperationContext& context, std::span<const std::uint8_t> bytes);

}  // namespace pst
