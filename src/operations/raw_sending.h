#pragma once
// The two ways of writing bytes the printer does not answer.
//
// Opened: the full link setup (open, speed switch, identify), one write,
// the speed switch back. Bare: no setup at all; on a serial link the port is
// closed and reopened 10 ms apart at the speed last set on it, then one
// write between two 10 ms pauses. Neither closes the link: the next
// operation's open does.

#include <cstdint>
#include <span>

namespace pst {

class OperationContext;

void SendOpenedRaw(OperationContext& context, std::span<const std::uint8_t> bytes);
void SendBareRaw(OperationContext& context, std::span<const std::uint8_t> bytes);

}  // namespace pst
