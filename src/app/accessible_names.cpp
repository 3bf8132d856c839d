#include "app/accessible_names.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>

#include "app/field_names.h"

namespace pst::app {

namespace {

bool isField(const QWidget* widget)
{
    // The edit inside a list or spin box is that control's own part.
    if (qobject_cast<const QLineEdit*>(widget))
        return !qobject_cast<const QComboBox*>(widget->parentWidget()) &&
            !qobject_cast<const QAbstractSpinBox*>(widget->parentWidget());
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
        qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QListWidget*>(widget);
}

// The fields `widget` stands for in its row: itself, or those laid out in
// a plain container (the bytes of an address behind one label).
QList<QWidget*> fieldsOf(QWidget* widget)
{
    if (isField(widget))
        return {widget};
    QList<QWidget*> fields;
    if (widget->metaObject() != &QWidget::staticMetaObject || !widget->layout())
        return fields;
    for (int i = 0; i < widget->layout()->count(); ++i)
        if (QWidget* inner = widget->layout()->itemAt(i)->widget(); inner && isField(inner))
            fields << inner;
    return fields;
}

// The arrow buttons of a number field step it up and down.
void nameStepButtons(QWidget* field, const QString& fieldName)
{
    for (QToolButton* button : field->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->arrowType() == Qt::UpArrow)
            button->setAccessibleName(fieldName + QStringLiteral(" +"));
        else if (button->arrowType() == Qt::DownArrow)
            button->setAccessibleName(fieldName + QStringLiteral(" -"));
    }
}

void nameFieldsIn(QLayout* layout)
{
    // A field with no label before it in a group box is named after the
    // box (the logo list).
    auto* group = qobject_cast<QGroupBox*>(layout->parentWidget());
    QString heading = group ? group->title() : QString();
    QLabel* label = nullptr;
    int place = 0;
    for (int i = 0; i < layout->count(); ++i) {
        QWidget* widget = layout->itemAt(i)->widget();
        if (!widget)
            continue;
        if (auto* asLabel = qobject_cast<QLabel*>(widget)) {
            label = asLabel;
            heading = label->text();
            place = 0;
            continue;
        }
        if (heading.isEmpty())
            continue;
        for (QWidget* field : fieldsOf(widget)) {
            ++place;
            if (place == 1 && label)
                label->setBuddy(field);
            const QString name = QString::fromStdString(FieldNameFromLabel(heading.toStdString(), place));
            field->setAccessibleName(name);
            nameStepButtons(field, name);
        }
    }
}

}  // namespace

void NameFieldsAfterTheirLabels(QWidget* window)
{
    for (QLayout* layout : window->findChildren<QLayout*>())
        nameFieldsIn(layout);
}

}  // namespace pst::app
