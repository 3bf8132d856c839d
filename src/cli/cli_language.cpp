#include "cli/cli_language.h"

#include <ostream>

#include "cli/command_help.h"
#include "texts/environment_language.h"
#include "texts/main_defaults.h"
#include "texts/translation.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"

namespace pst::cli {

std::optional<int> parseLanguage(const std::string& text)
{
    if (text == "en" || text == "english" || text == "English")
        return texts::kEnglish;
    if (text == "zh" || text == "chinese" || text == "Chinese")
        return 0;
    return std::nullopt;
}

void applyLanguage(const std::string& requested, const std::string& dataDir, std::ostream& err)
{
    // Only read here: a folder is made when something is saved in it.
    const std::string folder = locateProgramFolder(dataDir);
    int language = 0;
    if (!requested.empty()) {
        language = parseLanguage(requested).value_or(0);
    } else {
        // A folder others may write to does not choose for this user.
        const auto settings = folderIsTrusted(folder) ? IniDocument::load(joinPath(folder, texts::kSettingsFileName))
                                                      : IniDocument();
        language = texts::startingLanguage(texts::readMainDefaults(settings));
    }
    // The messages are built in Chinese and the help in English: each
    // language takes from its file what it lacks.
    const std::string path = texts::findLanguageFile(dataSearchFolders(folder), language);
    if (path.empty()) {
        if (!requested.empty() && language == texts::kEnglish)
            err << "pennafor-cli: " << texts::languageFileName(language)
                << " was not found; texts stay Chinese\n";
        return;
    }
    const IniDocument file = IniDocument::load(path);
    loadHelpTexts(file);
    if (language != texts::kEnglish)
        return;
    texts::translateItemLists(file, language);
    texts::translateMessageTexts(file, language);
}

}  // namespace pst::cli
