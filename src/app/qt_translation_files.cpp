#include "app/qt_translation_files.h"

#include "platform/program_folder.h"
#include "texts/translation.h"

namespace pst::app {

std::vector<std::string> qtTranslationFolders(const std::string& executableFolder,
                                              const std::string& qtTranslationsFolder)
{
    return {joinPath(executableFolder, "translations"), qtTranslationsFolder};
}

std::string qtTranslationName(int languageIndex)
{
    return languageIndex == texts::kEnglish ? std::string() : "qtbase_zh_CN";
}

}  // namespace pst::app
