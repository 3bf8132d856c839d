#pragma once
// Qt's own texts (the buttons of message boxes, the file dialogs) in the
// language the main window shows: Qt's translation is installed for
// Chinese and removed for English.

#include <QTranslator>

namespace pst::app {

class QtOwnTexts {
public:
    QtOwnTexts() = default;
    ~QtOwnTexts();
    QtOwnTexts(const QtOwnTexts&) = delete;
    QtOwnTexts& operator=(const QtOwnTexts&) = delete;

    // Follows the language box's `languageIndex`. A missing translation
    // leaves Qt's texts in English.
    void follow(int languageIndex);

private:
    void remove();

    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace pst::app
