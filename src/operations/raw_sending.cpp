#include "operations/raw_sending.h"

#include <string>

#include "engine/operation_context.h"
#include "protocol/errors.h"
#include "texts/message_texts.h"

namespace pst {

void WriteOrFail(OperationContext& context, std::span<const std::uint8_t> bytes)
{
    if (!context.writeBytes(bytes))
        throw ECommunicationException(MessageText("sSendFailedMsg"));
}

void SendOpenedRaw(OperationContext& context, std::span<const std::uint8_t> bytes, std::string_view sentKey)
{
    context.openLink();
    WriteOrFail(context, bytes);
    context.restoreLinkSpeed();
    context.showStatus(MessageText(sentKey));
}

void SendBareRaw(OperationContext& context, std::span<const std::uint8_t> bytes, std::string_view sentKey)
{
    context.reopenBare();
    context.pause(10);
    WriteOrFail(context, bytes);
    context.pause(10);
    context.showStatus(MessageText(sentKey));
}

}  // namespace pst
