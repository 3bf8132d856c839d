#include "para/infrared_page.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "texts/message_texts.h"

namespace pst::para {

InfraredPage::InfraredPage(PageBuilder& b, QWidget* parent) : QWidget(parent)
{
    QGroupBox* group = b.add(new QGroupBox(this), "GroupBox13");
    auto* g = new QGridLayout(group);
    rb_notInfrared = b.radio(group, "rb_notInfrared", "不启用红外");
    rb_Infrared = b.radio(group, "rb_Infrared", "启用红外");
    rb_Infrared->setChecked(true);
    g->addWidget(rb_notInfrared, 0, 0);
    g->addWidget(rb_Infrared, 0, 1);
    g->addWidget(b.label(group, "Label30", "红外波特率"), 1, 0);
    cbb_InfraredBaurate = b.list(group, "cbb_InfraredBaurate", itemsOf(kInfraredSpeedItems), 0);
    g->addWidget(cbb_InfraredBaurate, 1, 1);
    g->addWidget(b.label(group, "Label31", "红外协议"), 2, 0);
    cbb_irdaProtecl = b.list(group, "cbb_irdaProtecl", itemsOf(ItemList("irda Protecl")), 0);
    g->addWidget(cbb_irdaProtecl, 2, 1);
    btn_SetInfraredPara = b.button(group, "btn_SetInfraredPara", "设置");
    g->addWidget(btn_SetInfraredPara, 3, 0, 1, 2);
    g->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addStretch(1);

    updateLists();
    connect(rb_notInfrared, &QRadioButton::toggled, this, [this] { updateLists(); });
    connect(rb_Infrared, &QRadioButton::toggled, this, [this] { updateLists(); });
}

void InfraredPage::updateLists()
{
    cbb_InfraredBaurate->setEnabled(rb_Infrared->isChecked());
    cbb_irdaProtecl->setEnabled(rb_Infrared->isChecked());
}

}  // namespace pst::para
