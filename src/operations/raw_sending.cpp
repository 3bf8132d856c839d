#include "operations/raw_sending.h"

#include "engine/operation_context.h"

namespace pst {

void SendOpenedRaw(OperationContext& context, std::span<const std::uint8_t> bytes)
{
    context.openLink();
    context.writeBytes(bytes);
    context.restoreLinkSpeed();
}

void SendBareRaw(OperationContext& context, std::span<const std::uint8_t> bytes)
{
    context.reopenBare();
    context.pause(10);
    context.writeBytes(bytes);
    context.pause(10);
}

}  // namespace pst
