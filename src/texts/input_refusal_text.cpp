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

std::string RefusalInField(const std::string& fieldName, const std::string& refusal)
{
    if (fieldName.empty())
        return refusal;
    std::string text = MessageText("sInFieldMsg");
    const std::size_t field = text.find("%s");
    const std::size_t what = field == std::string::npos ? field : text.find("%s", field + 2);
    // A translation that lost a place for either gives the plain refusal.
    if (what == std::string::npos)
        return refusal;
    text.replace(what, 2, refusal);
    text.replace(field, 2, fieldName);
    return text;
}

}  // namespace pst
