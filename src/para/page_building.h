#pragma once
// Shared steps of building a page: every control is named (the language
// files address it by name) and registered with the window's translation
// view in creation order.

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/widget_translation.h"
#include "para/para_actions.h"
#include "para/para_widgets.h"

namespace pst::para {

// A button that starts the request `build` works out from the page's
// controls at the moment it is clicked.
template <typename Build> void sendOnClick(QPushButton* button, ParaActions& actions, Build build)
{
    QObject::connect(button, &QPushButton::clicked, button, [&actions, build] { actions.send(build); });
}

class PageBuilder {
public:
    explicit PageBuilder(app::WidgetTranslationView& view) : view_(view) { }

    template <typename Widget> Widget* add(Widget* widget, const char* name)
    {
        named(widget, name);
        view_.addControl(widget);
        return widget;
    }

    QLabel* label(QWidget* parent, const char* name, const char* text)
    {
        return add(new QLabel(QString::fromUtf8(text), parent), name);
    }
    QPushButton* button(QWidget* parent, const char* name, const char* text)
    {
        return add(new QPushButton(QString::fromUtf8(text), parent), name);
    }
    QGroupBox* group(QWidget* parent, const char* name, const char* caption)
    {
        return add(new QGroupBox(QString::fromUtf8(caption), parent), name);
    }
    QCheckBox* check(QWidget* parent, const char* name, const char* text, bool checked)
    {
        auto* box = add(new QCheckBox(QString::fromUtf8(text), parent), name);
        box->setChecked(checked);
        return box;
    }
    QRadioButton* radio(QWidget* parent, const char* name, const char* text)
    {
        return add(new QRadioButton(QString::fromUtf8(text), parent), name);
    }
    QLineEdit* edit(QWidget* parent, const char* name, const char* text, int maxLength = 32767)
    {
        auto* edit = add(new QLineEdit(QString::fromUtf8(text), parent), name);
        edit->setMaxLength(maxLength);
        return edit;
    }
    SpinEdit* spin(QWidget* parent, const char* name, int minimum, int maximum, int maxLength)
    {
        auto* edit = add(new SpinEdit(minimum, maximum, parent), name);
        edit->setMaxLength(maxLength);
        return edit;
    }
    QComboBox* list(QWidget* parent, const char* name, const QStringList& items, int selected)
    {
        return add(listBox(parent, name, items, selected), name);
    }

private:
    app::WidgetTranslationView& view_;
};

// The items of a fixed list as Qt strings.
template <typename Range> QStringList itemsOf(const Range& items)
{
    QStringList list;
    for (const auto& item : items)
        list.push_back(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    return list;
}

}  // namespace pst::para
