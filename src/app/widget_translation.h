#pragma once
// A Qt window as the translation routine sees it: the window's object name
// is the language file's section, and the controls are the widgets the
// window registered, in the order it created them, by object name.

#include <QPointer>
#include <QWidget>
#include <vector>

#include "texts/translatable_window.h"

namespace pst::app {

class WidgetTranslationView : public texts::TranslatableWindow {
public:
    explicit WidgetTranslationView(QWidget* window) : window_(window) { }

    void addControl(QWidget* control) { controls_.emplace_back(control); }
    QWidget* window() const { return window_; }

    std::string windowName() const override;
    std::string caption() const override;
    void setCaption(const std::string& text) override;

    std::size_t controlCount() const override { return controls_.size(); }
    std::string controlName(std::size_t index) const override;
    std::string controlText(std::size_t index) const override;
    void setControlText(std::size_t index, const std::string& text) override;
    std::string controlHint(std::size_t index) const override;
    void setControlHint(std::size_t index, const std::string& text) override;

    // The text of a control as the routine reads it (exposed for tests).
    static QString textOf(const QWidget* control);
    static void setTextOf(QWidget* control, const QString& text);

private:
    QWidget* window_;
    std::vector<QPointer<QWidget>> controls_;
};

}  // namespace pst::app
