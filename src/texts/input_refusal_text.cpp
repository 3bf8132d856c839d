#include "texts/input_refusal_text.h"

#include "texts/message_texts.h"

namespace pst {

std::string InputRefusalText(const EInvalidInput& refusal)
{
    if (refusal.messageKey().empty())
        return refusal.what();
    return MessageText(refusal.messageKey()) + refusal.detail();
}

}  // namespace pst
