#include "platform/display_language.h"

#include <windows.h>

namespace pst {

std::string displayLanguageTag()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID locale = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (::LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0) == 0)
        return {};
    // Locale names are plain ASCII ("zh-CN").
    std::string tag;
    for (const wchar_t* c = name; *c != L'\0'; ++c)
        tag += static_cast<char>(*c < 0x80 ? *c : '?');
    return tag;
}

}  // namespace pst
