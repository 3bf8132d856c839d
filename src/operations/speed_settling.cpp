#include "operations/speed_settling.h"

#include "texts/message_texts.h"

namespace pst {

std::string SpeedLeftText(std::uint32_t deviceSpeed, std::uint32_t leftAt)
{
    return MessageWithNumbers("sSpeedLeftMsg", {deviceSpeed, leftAt, leftAt, leftAt});
}

void RunSettled(OperationContext& context, OperationHandler handler)
{
    handler(context);
    if (const std::uint32_t leftAt = context.settleLineSpeed(); leftAt != 0)
        context.addToFailure(SpeedLeftText(context.settings().deviceSpeed, leftAt));
}

}  // namespace pst
