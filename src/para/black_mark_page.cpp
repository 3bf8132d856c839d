#include "para/black_mark_page.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace pst::para {

BlackMarkPage::BlackMarkPage(ParaActions& actions, PageBuilder& b, QWidget* parent)
    : QWidget(parent), actions_(actions)
{
    auto* panel = b.add(new QWidget(this), "Panel2");
    auto* g = new QGridLayout(panel);
    g->setVerticalSpacing(14);
    btn__Set_black_mode = b.button(panel, "btn__Set_black_mode", "设置黑标模式");
    btn__Cance_black_mark = b.button(panel, "btn__Cance_black_mark", "取消黑标");
    g->addWidget(btn__Set_black_mode, 0, 0, 1, 2);
    g->addWidget(btn__Cance_black_mark, 0, 2, 1, 2);

    int row = 1;
    auto valueRow = [&](const char* labelName, const char* caption, QLineEdit* edit, const char* unitName,
                        const char* unit, QPushButton* button) {
        g->addWidget(b.label(panel, labelName, caption), row, 0);
        g->addWidget(edit, row, 1);
        g->addWidget(b.label(panel, unitName, unit), row, 2);
        g->addWidget(button, row, 3);
        ++row;
    };
    edt__Black_look_distance = b.edit(panel, "edt__Black_look_distance", "400", 4);
    edt__Black_look_distance->setToolTip(QStringLiteral("值在400~4000"));
    btn_But_Black_look_dis_set = b.button(panel, "btn_But_Black_look_dis_set", "设置");
    valueRow("Label32", "黑标查找距离", edt__Black_look_distance, "Label33", "mm",
             btn_But_Black_look_dis_set);
    edt__Black_width = b.edit(panel, "edt__Black_width", "40", 3);
    edt__Black_width->setToolTip(QStringLiteral("值在40~120"));
    btn__Black_width_set = b.button(panel, "btn__Black_width_set", "设置");
    valueRow("Label34", "黑标宽度", edt__Black_width, "Label35", "mm", btn__Black_width_set);
    edt_cutter_optocoupler = b.edit(panel, "edt_cutter_optocoupler", "", 4);
    edt_cutter_optocoupler->setToolTip(QStringLiteral("值在0-1700"));
    btn_1 = b.button(panel, "btn_1", "设置");
    valueRow("Label36", "找到黑标后进纸", edt_cutter_optocoupler, "Label37", "mm  切纸", btn_1);
    edt_2 = b.edit(panel, "edt_2", "", 3);
    btn_2 = b.button(panel, "btn_2", "设置");
    // Its command was never defined; the value is only kept.
    btn_2->setEnabled(false);
    valueRow("Label38", "找到黑标后进纸", edt_2, "Label39", "mm  打印", btn_2);
    for (QLineEdit* edit : {edt__Black_look_distance, edt__Black_width, edt_cutter_optocoupler, edt_2})
        installKeyFilter(edit, KeyFilter::Digits);

    btn_3 = b.button(panel, "btn_3", "查找黑标");
    btn_4 = b.button(panel, "btn_4", "查找黑标并切纸");
    btn_5 = b.button(panel, "btn_5", "打印测试");
    auto* tests = new QHBoxLayout;
    tests->addWidget(btn_3);
    tests->addWidget(btn_4);
    tests->addWidget(btn_5);
    g->addLayout(tests, row, 0, 1, 4);
    g->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout(this);
    column->addWidget(panel);
    column->addStretch(1);

    auto fixed = [this](QPushButton* button, Request (*build)()) {
        sendOnClick(button, actions_, build);
    };
    fixed(btn__Set_black_mode, &BlackMarkModeRequest);
    fixed(btn__Cance_black_mark, &CancelBlackMarkRequest);
    fixed(btn_3, &FindBlackMarkRequest);
    fixed(btn_4, &FindBlackMarkAndCutRequest);
    fixed(btn_5, &BlackMarkTestPrintRequest);
    auto value = [this](QPushButton* button, QLineEdit* edit, Request (*build)(std::string_view)) {
        sendOnClick(button, actions_, [edit, build] { return build(edit->text().toStdString()); });
    };
    value(btn_But_Black_look_dis_set, edt__Black_look_distance, &BlackMarkDistanceRequest);
    value(btn__Black_width_set, edt__Black_width, &BlackMarkWidthRequest);
    value(btn_1, edt_cutter_optocoupler, &FeedAfterMarkRequest);
}

}  // namespace pst::para
