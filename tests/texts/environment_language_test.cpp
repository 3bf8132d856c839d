// The language the texts start in without a stored choice: the locale
// variables in their order of precedence, and a stored choice above them.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "texts/environment_language.h"
#include "texts/translation.h"

namespace {

using pst::texts::kEnglish;
using pst::texts::languageFromEnvironment;
using pst::texts::MainDefaults;
using pst::texts::startingLanguage;

constexpr int kChinese = 0;

// An environment holding exactly `variables`.
pst::texts::EnvironmentLookup environment(std::map<std::string, std::string> variables)
{
    return [variables = std::move(variables)](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

}  // namespace

TEST(EnvironmentLanguage, ChineseLocalesGiveChineseAndEveryOtherGivesEnglish)
{
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "zh_CN.UTF-8"}})), kChinese);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "zh_TW"}})), kChinese);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "en_US.UTF-8"}})), kEnglish);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "de_DE.UTF-8"}})), kEnglish);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "C"}})), kEnglish);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "C.UTF-8"}})), kEnglish);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "POSIX"}})), kEnglish);
    // Only the start counts.
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "en_ZH"}})), kEnglish);
}

TEST(EnvironmentLanguage, LcAllThenLcMessagesThenLangAndEmptyOnesAreSkipped)
{
    EXPECT_EQ(languageFromEnvironment(
                  environment({{"LC_ALL", "en_GB.UTF-8"}, {"LC_MESSAGES", "zh_CN"}, {"LANG", "zh_CN"}})),
              kEnglish);
    EXPECT_EQ(languageFromEnvironment(environment({{"LC_MESSAGES", "zh_CN.UTF-8"}, {"LANG", "en_US"}})),
              kChinese);
    EXPECT_EQ(
        languageFromEnvironment(environment({{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "en_US.UTF-8"}})),
        kEnglish);
    // Other categories say nothing about the texts.
    EXPECT_EQ(languageFromEnvironment(environment({{"LC_CTYPE", "en_US.UTF-8"}, {"LANG", "zh_CN"}})),
              kChinese);
}

TEST(EnvironmentLanguage, NothingSetKeepsChinese)
{
    EXPECT_EQ(languageFromEnvironment(environment({})), kChinese);
    EXPECT_EQ(languageFromEnvironment(environment({{"LC_ALL", ""}, {"LANG", ""}})), kChinese);
}

// Windows says its language only as the display language; a variable set
// by hand (or by a shell) still comes first.
TEST(EnvironmentLanguage, TheDisplayLanguageDecidesWhenNoVariableIsSet)
{
    EXPECT_EQ(languageFromEnvironment(environment({}), "en-US"), kEnglish);
    EXPECT_EQ(languageFromEnvironment(environment({}), "zh-CN"), kChinese);
    EXPECT_EQ(languageFromEnvironment(environment({}), "zh-Hant-TW"), kChinese);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", ""}}), "de-DE"), kEnglish);
    EXPECT_EQ(languageFromEnvironment(environment({{"LANG", "zh_CN.UTF-8"}}), "en-US"), kChinese);
    EXPECT_EQ(languageFromEnvironment(environment({{"LC_ALL", "C"}}), "zh-CN"), kEnglish);
}

TEST(EnvironmentLanguage, AStoredChoiceWinsEvenWhenItIsChinese)
{
    const auto english = environment({{"LANG", "en_US.UTF-8"}});
    MainDefaults stored;
    stored.languageStored = true;
    stored.language = kChinese;
    EXPECT_EQ(startingLanguage(stored, english), kChinese);
    stored.language = 5;  // outside the list: the window shows no item, as before
    EXPECT_EQ(startingLanguage(stored, english), 5);

    MainDefaults absent;
    EXPECT_EQ(startingLanguage(absent, english), kEnglish);
    EXPECT_EQ(startingLanguage(absent, environment({{"LANG", "zh_CN.UTF-8"}})), kChinese);
}
