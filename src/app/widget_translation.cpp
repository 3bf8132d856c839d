#include "app/widget_translation.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>

namespace pst::app {

namespace {

std::string utf8(const QString& text)
{
    return text.toStdString();
}

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

// A page of a tab widget: its text is the tab's caption.
QTabWidget* tabWidgetOfPage(const QWidget* control, int& index)
{
    auto* stack = qobject_cast<QStackedWidget*>(control->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    index = tabs ? tabs->indexOf(const_cast<QWidget*>(control)) : -1;
    return index >= 0 ? tabs : nullptr;
}

}  // namespace

QString WidgetTranslationView::textOf(const QWidget* control)
{
    int tab = -1;
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return memo->toPlainText();
    if (auto* tabs = tabWidgetOfPage(control, tab))
        return tabs->tabText(tab);
    return {};
}

void WidgetTranslationView::setTextOf(QWidget* control, const QString& text)
{
    int tab = -1;
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->isEditable() ? combo->setEditText(text) : combo->setCurrentText(text);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        memo->setPlainText(text);
    else if (auto* tabs = tabWidgetOfPage(control, tab))
        tabs->setTabText(tab, text);
}

std::string WidgetTranslationView::windowName() const
{
    return utf8(window_->objectName());
}

std::string WidgetTranslationView::caption() const
{
    return utf8(window_->windowTitle());
}

void WidgetTranslationView::setCaption(const std::string& text)
{
    window_->setWindowTitle(qt(text));
}

std::string WidgetTranslationView::controlName(std::size_t index) const
{
    const QWidget* control = controls_.at(index);
    return control ? utf8(control->objectName()) : std::string();
}

std::string WidgetTranslationView::controlText(std::size_t index) const
{
    const QWidget* control = controls_.at(index);
    return control ? utf8(textOf(control)) : std::string();
}

void WidgetTranslationView::setControlText(std::size_t index, const std::string& text)
{
    if (QWidget* control = controls_.at(index))
        setTextOf(control, qt(text));
}

std::string WidgetTranslationView::controlHint(std::size_t index) const
{
    const QWidget* control = controls_.at(index);
    return control ? utf8(control->toolTip()) : std::string();
}

void WidgetTranslationView::setControlHint(std::size_t index, const std::string& text)
{
    if (QWidget* control = controls_.at(index))
        control->setToolTip(qt(text));
}

}  // namespace pst::app
