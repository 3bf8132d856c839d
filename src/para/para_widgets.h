#pragma once
// Controls of the parameter window that Qt does not offer as such: the
// spin edit (a number edit whose text is kept as typed or as loaded), the
// typing filter, the radio group and the focus-out check of an edit.

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QObject>
#include <QRadioButton>
#include <QStringList>
#include <functional>

#include "para/key_filter.h"

class QToolButton;

namespace pst::para {

template <typename Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Drops the typed characters the filter does not pass. Shortcuts (with
// Ctrl) and keys that type nothing (arrows, Delete) pass.
void installKeyFilter(QLineEdit* edit, KeyFilter filter);

// Runs `check` when the edit loses the focus to another control of its
// window (not when the window itself loses it, to a message box say). It is
// given the button the focus went to when a mouse press on that button took
// it, so that a check which stops the user can still make that click.
void onLeavingEdit(QLineEdit* edit, std::function<void(QAbstractButton* pressedButton)> check);

// An edit the user reads but does not type into, drawn on the window's
// colour instead of an entry field's white so that it does not invite
// typing.
void makeReadOnly(QLineEdit* edit);

// A password edit that shows each character as "*", as printers' manuals
// and technicians expect, whatever the style's own mask character.
void maskWithStars(QLineEdit* edit);

// A list of fixed items: no typing, and -1 for no selection.
QComboBox* listBox(QWidget* parent, const char* name, const QStringList& items, int selected);

// A whole-number edit with up and down buttons. Its value is its text,
// which may hold anything a file gave it; the buttons and arrow keys step
// from the text's number within the limits.
class SpinEdit : public QLineEdit {
    Q_OBJECT
public:
    SpinEdit(int minimum, int maximum, QWidget* parent = nullptr);
    void stepBy(int steps);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int minimum_;
    int maximum_;
    QToolButton* up_;
    QToolButton* down_;
};

// A captioned group of radio buttons whose items come from a text list;
// reads and sets its selection by position, -1 for none.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, int itemCount, int columns, QWidget* parent = nullptr);
    void setItems(const std::vector<std::string>& items);
    int itemIndex() const;
    void setItemIndex(int index);
    int itemCount() const { return static_cast<int>(buttons_.buttons().size()); }

private:
    QButtonGroup buttons_;
};

// Checks one button of a pair, or neither (which radio buttons alone do not
// allow once one is checked).
void checkRadio(QRadioButton* first, QRadioButton* second, int which);

}  // namespace pst::para
