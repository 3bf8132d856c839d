#include "texts/input_refusal_text.h"

#include "texts/message_texts.h"

namespace pst {

namespace {

// The next "%s" or "%d" from `from` on.
std::size_t nextPlace(const std::string& text, std::size_t from)
{
    for (std::size_t at = text.find('%', from); at != std::string::npos && at + 1 < text.size();
         at = text.find('%', at + 1))
        if (text[at + 1] == 's' || text[at + 1] == 'd')
            return at;
    return std::string::npos;
}

}  // namespace

std::string InputRefusalText(const EInvalidInput& refusal)
{
    if (refusal.messageKey().empty())
        return refusal.what();
    std::string text = MessageText(refusal.messageKey());
    // A translation with fewer places simply shows fewer values.
    std::size_t from = 0;
    for (const RefusalValue& value : refusal.values()) {
        const std::size_t at = nextPlace(text, from);
        if (at == std::string::npos)
            break;
        const std::string shown = value.isMessageKey ? MessageText(value.text) : value.text;
        text.replace(at, 2, shown);
        from = at + shown.size();
    }
    return text + refusal.detail();
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
