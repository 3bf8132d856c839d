#include "texts/translation.h"

#include "texts/message_texts.h"
#include "platform/file_bytes.h"
#include "platform/program_folder.h"

namespace pst::texts {

namespace {

bool isEnglish(int languageIndex)
{
    return languageIndex == kEnglish;
}

}  // namespace

std::string languageFileName(int languageIndex)
{
    return isEnglish(languageIndex) ? "English.lng" : "Chinese.lng";
}

std::string findLanguageFile(const std::vector<std::string>& folders, int languageIndex)
{
    const std::string name = languageFileName(languageIndex);
    for (const auto& folder : folders) {
        const std::string path = joinPath(folder, name);
        if (isRegularFile(path))
            return path;
    }
    return {};
}

void translateWindow(const IniDocument& file, TranslatableWindow& window)
{
    const std::string section = window.windowName();
    if (const std::string caption = window.caption(); !caption.empty())
        window.setCaption(file.readString(section, "Caption", caption));
    for (std::size_t i = 0; i < window.controlCount(); ++i) {
        const std::string name = window.controlName(i);
        if (const std::string text = window.controlText(i); !text.empty()) {
            // Only a key that is present changes the control: writing back
            // an unchanged text would still fire the control's change events.
            if (auto value = file.value(section, name + ".Caption"); value && *value != text)
                window.setControlText(i, *value);
        }
        if (const std::string hint = window.controlHint(i); !hint.empty())
            window.setControlHint(i, file.readString(section, name + ".Hint", hint));
    }
}

void translateItemLists(const IniDocument& file, int languageIndex)
{
    for (const ItemListEntry& list : ItemListTable()) {
        if (!isEnglish(languageIndex) && list.section == "Flow control")
            continue;
        const std::vector<std::string> items = ItemList(list.section);
        for (std::size_t i = 0; i < items.size(); ++i)
            SetItemText(list.section, i, file.readString(list.section, std::to_string(i), items[i]));
    }
}

void translateMessageTexts(const IniDocument& file, int languageIndex)
{
    const bool english = isEnglish(languageIndex);
    for (const MessageTextEntry& entry : MessageTextTable()) {
        const bool blackMark = entry.key.starts_with("BlackErrorStr");
        if ((english && blackMark) || (!english && entry.key == "sMsg24"))
            continue;
        const std::string key(entry.key);
        SetMessageText(key, file.readString("String", key, MessageText(key)));
    }
}

void translateAll(const IniDocument& file, int languageIndex, const std::vector<TranslatableWindow*>& windows)
{
    for (TranslatableWindow* window : windows)
        translateWindow(file, *window);
    translateItemLists(file, languageIndex);
    translateMessageTexts(file, languageIndex);
}

std::vector<std::vector<std::string>> itemListInEveryLanguage(std::string_view section,
                                                              const std::vector<std::string>& folders)
{
    std::vector<std::vector<std::string>> languages;
    for (const ItemListEntry& list : ItemListTable()) {
        if (list.section != section)
            continue;
        const std::vector<std::string> builtIn(list.defaults.begin(), list.defaults.end());
        languages.push_back(builtIn);
        for (const int language : {0, kEnglish}) {
            const std::string path = findLanguageFile(folders, language);
            if (path.empty())
                continue;
            const IniDocument file = IniDocument::load(path);
            std::vector<std::string> items = builtIn;
            for (std::size_t i = 0; i < items.size(); ++i)
                items[i] = file.readString(std::string(section), std::to_string(i), items[i]);
            languages.push_back(std::move(items));
        }
    }
    return languages;
}

std::string linkKindText(int linkKind)
{
    const std::vector<std::string> texts = ItemList("Trans Mode");
    return linkKind >= 0 && static_cast<std::size_t>(linkKind) < texts.size() ? texts[linkKind]
                                                                              : std::string();
}

}  // namespace pst::texts
