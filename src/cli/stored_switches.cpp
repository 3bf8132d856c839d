#include "cli/stored_switches.h"

#include <algorithm>
#include <string_view>

#include "cli/printer_lists.h"
#include "platform/text_compare.h"
#include "requests/para_record.h"
#include "texts/translation.h"

namespace pst::cli {

namespace {

struct StoredSwitch {
    std::string_view option;
    std::string_view key;  // in the parameter record
};

constexpr StoredSwitch kSwitches[] = {
    {"--density", "Dark"}, {"--font", "FontValue"}, {"--cutter", "CutPaper"}, {"--buzzer", "buzzer"},
    {"--feed", "ForcePaper"},
};

bool given(const std::vector<std::string>& arguments, std::string_view option)
{
    for (const std::string& word : arguments) {
        if (word == "--")
            return false;
        if (word == option || (word.starts_with(option) && word.size() > option.size() && word[option.size()] == '='))
            return true;
    }
    return false;
}

std::string storedText(const IniDocument& stored, std::string_view key)
{
    for (const requests::ParaKey& entry : requests::ParaKeyTable())
        if (entry.key == key)
            return stored.readString(requests::kParaSection, key, requests::DefaultText(entry));
    return {};
}

// The stored text the way the option is written: the list's first spelling
// for an item found in any language, on/off for a check box. A text that is
// none of these goes as it is, for the option to refuse.
std::string optionValue(std::string_view option, const std::string& text,
                        const std::vector<std::string>& languageFolders)
{
    if (option == "--cutter" || option == "--buzzer")
        return text == "1" ? "on" : text == "0" ? "off" : text;
    if (option == "--density") {
        const ListNames names = densityNames();
        for (const auto& items : texts::itemListInEveryLanguage("Dark description", languageFolders))
            for (std::size_t i = 0; i < items.size() && i < names.size(); ++i)
                if (equalsIgnoringAsciiCase(items[i], text))
                    return names[i].front();
        return text;
    }
    const ListNames names = option == "--font" ? fontNames() : paperFeedNames();
    for (const auto& spellings : names)
        if (std::ranges::any_of(spellings, [&](const std::string& s) { return equalsIgnoringAsciiCase(s, text); }))
            return spellings.front();
    return text;
}

}  // namespace

CompletedSwitches completeSwitchOptions(const std::vector<std::string>& arguments, const IniDocument& stored,
                                        const std::vector<std::string>& languageFolders)
{
    CompletedSwitches completed{arguments, {}};
    // Added before a "--", where options are still read.
    auto end = std::find(completed.arguments.begin(), completed.arguments.end(), "--");
    for (const StoredSwitch& entry : kSwitches) {
        if (given(arguments, entry.option))
            continue;
        const std::string value = optionValue(entry.option, storedText(stored, entry.key), languageFolders);
        end = completed.arguments.insert(end, {std::string(entry.option), value}) + 2;
        completed.kept.push_back(std::string(entry.option) + " " + value);
    }
    return completed;
}

}  // namespace pst::cli
