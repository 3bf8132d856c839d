#include "texts/environment_language.h"

#include <cstdlib>
#include <string_view>

#include "platform/display_language.h"
#include "texts/translation.h"

namespace pst::texts {

namespace {

constexpr int kChinese = 0;

const char* readEnvironment(const char* name)
{
    return std::getenv(name);
}

}  // namespace

int languageFromEnvironment(const EnvironmentLookup& lookup, const std::string& displayTag)
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value == nullptr || *value == '\0')
            continue;
        return std::string_view(value).starts_with("zh") ? kChinese : kEnglish;
    }
    if (!displayTag.empty())
        return displayTag.starts_with("zh") ? kChinese : kEnglish;
    return kChinese;
}

int languageFromEnvironment()
{
    return languageFromEnvironment(&readEnvironment, displayLanguageTag());
}

int startingLanguage(const MainDefaults& defaults, const EnvironmentLookup& lookup)
{
    return defaults.languageStored ? defaults.language : languageFromEnvironment(lookup);
}

int startingLanguage(const MainDefaults& defaults)
{
    return defaults.languageStored ? defaults.language : languageFromEnvironment();
}

}  // namespace pst::texts
