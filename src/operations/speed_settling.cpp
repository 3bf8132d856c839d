#include "operations/speed_settling.h"

#include <initializer_list>

#include "texts/message_texts.h"

namespace pst {

namespace {

// Puts the numbers in place of the text's "%d", in order.
std::string withNumbers(std::string format, std::initializer_list<std::uint32_t> numbers)
{
    std::size_t from = 0;
    for (const std::uint32_t number : numbers) {
        const std::size_t at = format.find("%d", from);
        if (at == std::string::npos)
            break;
        const std::string digits = std::to_string(number);
        format.replace(at, 2, digits);
        from = at + digits.size();
    }
    return format;
}

}  // namespace

std::string SpeedLeftText(std::uint32_t deviceSpeed, std::uint32_t leftAt)
{
    return withNumbers(MessageText("sSpeedLeftMsg"), {deviceSpeed, leftAt, leftAt, leftAt});
}

void RunSettled(OperationContext& context, OperationHandler handler)
{
    handler(context);
    if (const std::uint32_t leftAt = context.settleLineSpeed(); leftAt != 0)
        context.addToFailure(SpeedLeftText(context.settings().deviceSpeed, leftAt));
}

}  // namespace pst
