#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "app/qt_translation_files.h"
#include "platform/program_folder.h"

namespace pst::app {

QtOwnTexts::~QtOwnTexts()
{
    remove();
}

void QtOwnTexts::follow(int languageIndex)
{
    remove();
    const std::string name = qtTranslationName(languageIndex);
    if (name.empty())
        return;
    for (const std::string& folder : qtTranslationFolders(
             executableFolder(), QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString())) {
        if (translator_.load(QString::fromStdString(name), QString::fromStdString(folder))) {
            installed_ = QCoreApplication::installTranslator(&translator_);
            return;
        }
    }
}

void QtOwnTexts::remove()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
}

}  // namespace pst::app
