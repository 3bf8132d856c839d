#pragma once
// The black-mark page: black-mark mode on and off, search distance, mark
// width, feed after the mark, and the three tests.

#include <QWidget>

#include "para/page_building.h"
#include "para/para_actions.h"

namespace pst::para {

class BlackMarkPage : public QWidget {
    Q_OBJECT
public:
    BlackMarkPage(ParaActions& actions, PageBuilder& build, QWidget* parent = nullptr);

    QPushButton* btn__Set_black_mode = nullptr;
    QPushButton* btn__Cance_black_mark = nullptr;
    QLineEdit* edt__Black_look_distance = nullptr;
    QPushButton* btn_But_Black_look_dis_set = nullptr;
    QLineEdit* edt__Black_width = nullptr;
    QPushButton* btn__Black_width_set = nullptr;
    QLineEdit* edt_cutter_optocoupler = nullptr;
    QPushButton* btn_1 = nullptr;
    QLineEdit* edt_2 = nullptr;
    QPushButton* btn_2 = nullptr;
    QPushButton* btn_3 = nullptr;
    QPushButton* btn_4 = nullptr;
    QPushButton* btn_5 = nullptr;

private:
    ParaActions& actions_;
};

}  // namespace pst::para
