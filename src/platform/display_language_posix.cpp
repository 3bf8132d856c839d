#include "platform/display_language.h"

namespace pst {

std::string displayLanguageTag()
{
    return {};
}

}  // namespace pst
