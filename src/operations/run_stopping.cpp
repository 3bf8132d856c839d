#include "operations/run_stopping.h"

#include "engine/operation_context.h"
#include "engine/run_stopped.h"
#include "texts/message_texts.h"

namespace pst {

std::size_t BlocksIn(std::uintmax_t bytes, std::size_t blockSize)
{
    return static_cast<std::size_t>((bytes + blockSize - 1) / blockSize);
}

std::string StoppedText(std::string_view countKey, BlockCount count, std::string_view nextStepKey)
{
    std::string text = MessageWithNumbers(
        countKey, {static_cast<long long>(count.done), static_cast<long long>(count.inAll)});
    if (!nextStepKey.empty())
        text += "\n" + MessageText(nextStepKey);
    return text;
}

void StopIfCancelled(OperationContext& context, std::string_view countKey, BlockCount count,
                     std::string_view nextStepKey)
{
    if (!context.cancelled())
        return;
    throw ERunStopped(StoppedText(countKey, count, nextStepKey), static_cast<std::int32_t>(count.done),
                      static_cast<std::int32_t>(count.inAll));
}

}  // namespace pst
