#include "para/para_widgets.h"

#include <QApplication>
#include <QComboBox>
#include <algorithm>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPalette>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include "platform/int_conversion.h"

namespace pst::para {

namespace {

class KeyFilterObject : public QObject {
public:
    KeyFilterObject(KeyFilter filter, QObject* parent) : QObject(parent), filter_(filter) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier)
            return false;
        for (const QChar c : key->text())
            if (c.isPrint() && !KeyPasses(c.unicode(), filter_))
                return true;
        return false;
    }

private:
    KeyFilter filter_;
};

class LeaveCheck : public QObject {
public:
    LeaveCheck(std::function<void(QAbstractButton*)> check, QObject* parent)
        : QObject(parent), check_(std::move(check))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // The application's focus has already moved when the edit hears
            // it has lost it.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                check_(reason == Qt::MouseFocusReason ? qobject_cast<QAbstractButton*>(QApplication::focusWidget())
                                                      : nullptr);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QAbstractButton*)> check_;
};

}  // namespace

void installKeyFilter(QLineEdit* edit, KeyFilter filter)
{
    edit->installEventFilter(new KeyFilterObject(filter, edit));
}

void makeReadOnly(QLineEdit* edit)
{
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

void maskWithStars(QLineEdit* edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

void onLeavingEdit(QLineEdit* edit, std::function<void(QAbstractButton* pressedButton)> check)
{
    edit->installEventFilter(new LeaveCheck(std::move(check), edit));
}

QComboBox* listBox(QWidget* parent, const char* name, const QStringList& items, int selected)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setCurrentIndex(selected);
    return box;
}

SpinEdit::SpinEdit(int minimum, int maximum, QWidget* parent)
    : QLineEdit(parent),
      minimum_(minimum),
      maximum_(maximum),
      up_(new QToolButton(this)),
      down_(new QToolButton(this))
{
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setCursor(Qt::ArrowCursor);
        button->setAutoRepeat(true);
    }
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
    installKeyFilter(this, KeyFilter::Digits);
}

void SpinEdit::stepBy(int steps)
{
    const auto value = parseInt32(text().toStdString());
    const std::int64_t next = value ? static_cast<std::int64_t>(*value) + steps : minimum_;
    setText(QString::number(std::clamp<std::int64_t>(next, minimum_, maximum_)));
}

void SpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        stepBy(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SpinEdit::wheelEvent(QWheelEvent* event)
{
    if (const int delta = event->angleDelta().y(); delta != 0)
        stepBy(delta > 0 ? 1 : -1);
    event->accept();
}

void SpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    const int buttonWidth = 16;
    const int half = height() / 2;
    up_->setGeometry(width() - buttonWidth - 1, 1, buttonWidth, half - 1);
    down_->setGeometry(width() - buttonWidth - 1, half, buttonWidth, height() - half - 1);
    setTextMargins(0, 0, buttonWidth, 0);
}

RadioGroup::RadioGroup(const QString& caption, int itemCount, int columns, QWidget* parent)
    : QGroupBox(caption, parent)
{
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < itemCount; ++i) {
        auto* button = new QRadioButton(this);
        buttons_.addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
    }
}

void RadioGroup::setItems(const std::vector<std::string>& items)
{
    const auto buttons = buttons_.buttons();
    for (int i = 0; i < buttons.size() && static_cast<std::size_t>(i) < items.size(); ++i)
        buttons_.button(i)->setText(QString::fromStdString(items[static_cast<std::size_t>(i)]));
}

int RadioGroup::itemIndex() const
{
    return buttons_.checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton* button = buttons_.button(index)) {
        button->setChecked(true);
        return;
    }
    buttons_.setExclusive(false);
    for (QAbstractButton* button : buttons_.buttons())
        button->setChecked(false);
    buttons_.setExclusive(true);
}

void checkRadio(QRadioButton* first, QRadioButton* second, int which)
{
    if (which == 0 || which == 1) {
        (which == 0 ? first : second)->setChecked(true);
        return;
    }
    first->setAutoExclusive(false);
    second->setAutoExclusive(false);
    first->setChecked(false);
    second->setChecked(false);
    first->setAutoExclusive(true);
    second->setAutoExclusive(true);
}

}  // namespace pst::para
