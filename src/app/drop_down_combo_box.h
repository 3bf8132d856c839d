#pragma once
// A combo box that says when its list is about to drop down, so that the
// port list can be refreshed each time the user opens it.

#include <QComboBox>

namespace pst::app {

class DropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit droppingDown();
        QComboBox::showPopup();
    }

signals:
    void droppingDown();
};

}  // namespace pst::app
