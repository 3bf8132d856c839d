#include "para/elided_label.h"

#include <QPainter>

namespace pst::para {

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), mode_(mode)
{
}

void ElidedLabel::setDetail(const QString& detail)
{
    detail_ = detail;
    update();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {1, QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::sizeHint() const
{
    return {1, QLabel::sizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), mode_, room.width());
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, shown);
    // Whatever had to be left out can still be read.
    if (!detail_.isEmpty())
        setToolTip(text() + QLatin1Char('\n') + detail_);
    else
        setToolTip(shown == text() ? QString() : text());
}

}  // namespace pst::para
