#pragma once
// What the main window needs of the parameter window: to open it after a
// successful link test, and to translate it with the main window.

class QWidget;

namespace pst::app {

class WidgetTranslationView;

class ParameterWindowLink {
public:
    virtual ~ParameterWindowLink() = default;
    virtual void showFromMainWindow(const QWidget& mainWindow) = 0;
    virtual WidgetTranslationView& translationView() = 0;
};

}  // namespace pst::app
