#include "texts/data_folder_refusal.h"

#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "texts/environment_language.h"
#include "texts/message_texts.h"
#include "texts/translation.h"

namespace pst::texts {

std::string DataFolderRefusal(const std::string& folder, std::optional<int> language)
{
    const int chosen = language.value_or(languageFromEnvironment());
    // Chinese is built in; only another language needs its file.
    if (chosen == kEnglish) {
        std::vector<std::string> folders = dataSearchFolders(folder);
        folders.erase(folders.begin());  // the refused folder itself
        if (const std::string path = findLanguageFile(folders, chosen); !path.empty())
            translateMessageTexts(IniDocument::load(path), chosen);
    }
    return MessageWithText("sDataFolderRefusedMsg", folder);
}

}  // namespace pst::texts
