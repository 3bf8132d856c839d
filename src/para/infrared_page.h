#pragma once
// The infrared page: on or off, speed and protocol, sent together.

#include <QWidget>

#include "para/page_building.h"
#include "para/para_actions.h"

class QComboBox;

namespace pst::para {

class InfraredPage : public QWidget {
    Q_OBJECT
public:
    InfraredPage(PageBuilder& build, QWidget* parent = nullptr);

    // The two lists are usable exactly while infrared is on.
    void updateLists();

    QRadioButton* rb_notInfrared = nullptr;
    QRadioButton* rb_Infrared = nullptr;
    QComboBox* cbb_InfraredBaurate = nullptr;
    QComboBox* cbb_irdaProtecl = nullptr;
    QPushButton* btn_SetInfraredPara = nullptr;

};

}  // namespace pst::para
