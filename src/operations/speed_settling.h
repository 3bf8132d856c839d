#pragma once
// What every numbered operation ends with: the printer back at its device
// speed, or the user told where it may still be listening.

#include <cstdint>
#include <string>

#include "engine/operation_context.h"

namespace pst {

// Runs `handler`, then settles the line speed (OperationContext::
// settleLineSpeed); when the printer may have been left at another speed,
// the run's error says so and how to reach it.
void RunSettled(OperationContext& context, OperationHandler handler);

// The text telling that the printer may still be listening at `leftAt`
// after the switch back to `deviceSpeed` went unconfirmed.
std::string SpeedLeftText(std::uint32_t deviceSpeed, std::uint32_t leftAt);

}  // namespace pst
