#include "texts/input_refusal_text.h"

#include "texts/message_texts.h"

namespace pst {

std::string InputRefusalText(const EInvalidInput& refusal)
{
    if (refusal.messageKey().empty())
        return refusal.what();
    return MessageText(refusal.messageKey()) + refusal.detail();
}

std::string InputRefusalText(const EConvertError& refusal)
{
    std::string text = MessageText("sNotIntegerMsg");
    const std::size_t at = text.find("%s");
    if (at == std::string::npos || refusal.what() != invalidIntegerMessage(refusal.text()))
        return refusal.what();
    text.replace(at, 2, refusal.text());
    return text;
}

}  // namespace pst
