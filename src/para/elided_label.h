#pragma once
// A status-bar label that never widens the bar: a text longer than the room
// it has is shown shortened with "…" (a path in its middle, so that both
// its folder and its file name stay readable), and whole in its tooltip.
// text() is always the whole text.

#include <QLabel>

namespace pst::para {

class ElidedLabel : public QLabel {
public:
    ElidedLabel(Qt::TextElideMode mode, QWidget* parent);

    // More words on the text (why a run failed), read in the tooltip
    // below the whole text; cleared with an empty one.
    void setDetail(const QString& detail);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::TextElideMode mode_;
    QString detail_;
};

}  // namespace pst::para
