#include "para/basic_page.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "requests/setting_ranges.h"
#include "texts/message_texts.h"

namespace pst::para {

BasicPage::BasicPage(ParaActions& actions, PageBuilder& b, QWidget* parent)
    : QWidget(parent), actions_(actions)
{
    QGroupBox* basic = b.group(this, "GroupBox1", "基本参数");
    auto* grid = new QGridLayout(basic);
    grid->addWidget(b.label(basic, "Label1", "波特率："), 0, 0);
    cbb_BauRate = b.list(basic, "cbb_BauRate", itemsOf(kBaudRateItems), 3);
    grid->addWidget(cbb_BauRate, 0, 1);
    btn_SetBauRate = b.button(basic, "btn_SetBauRate", "设置");
    grid->addWidget(btn_SetBauRate, 0, 2);

    grid->addWidget(b.label(basic, "Label21", "流控"), 1, 0);
    cbb_Flowcontrol = b.list(basic, "cbb_Flowcontrol", itemsOf(ItemList("Flow control")), -1);
    grid->addWidget(cbb_Flowcontrol, 1, 1);
    btn_flowcontrol = b.button(basic, "btn_flowcontrol", "设置");
    grid->addWidget(btn_flowcontrol, 1, 2);

    grid->addWidget(b.label(basic, "Label2", "设置语言:"), 2, 0);
    cbb_Codepage = b.list(basic, "cbb_Codepage", itemsOf(kCodePageItems), 4);
    grid->addWidget(cbb_Codepage, 2, 1);
    btn_SetCodepage = b.button(basic, "btn_SetCodepage", "设置");
    grid->addWidget(btn_SetCodepage, 2, 2);

    QGroupBox* switches = b.add(new QGroupBox(basic), "GroupBox2");
    auto* sw = new QGridLayout(switches);
    sw->addWidget(b.label(switches, "Label3", "字体设置:"), 0, 0);
    cbb_FontValue = b.list(switches, "cbb_FontValue", itemsOf(kFontItems), 1);
    sw->addWidget(cbb_FontValue, 0, 1);
    sw->addWidget(b.label(switches, "Label4", "打印浓度:"), 0, 2);
    cbb_Dark = b.list(switches, "cbb_Dark", itemsOf(ItemList("Dark description")), 1);
    sw->addWidget(cbb_Dark, 0, 3);
    sw->addWidget(b.label(switches, "Label5", "进纸:"), 1, 0);
    cbb_Forcepaper = b.list(switches, "cbb_Forcepaper", itemsOf(kPaperFeedItems), 0);
    sw->addWidget(cbb_Forcepaper, 1, 1);
    chk_buzzer = b.check(switches, "chk_buzzer", "蜂鸣器", true);
    chk_Drawer = b.check(switches, "chk_Drawer", "钱箱", false);
    chk_Drawer->setEnabled(false);
    chk_CutPaper = b.check(switches, "chk_CutPaper", "切刀", true);
    chk_AutoprintLast = b.check(switches, "chk_AutoprintLast", "自动打印最后一单", false);
    chk_AutoprintLast->setEnabled(false);
    sw->addWidget(chk_buzzer, 2, 0);
    sw->addWidget(chk_Drawer, 2, 1);
    sw->addWidget(chk_CutPaper, 2, 2);
    sw->addWidget(chk_AutoprintLast, 2, 3);
    btn_SetForcepaper = b.button(switches, "btn_SetForcepaper", "设置");
    sw->addWidget(btn_SetForcepaper, 3, 3);
    grid->addWidget(switches, 3, 0, 1, 3);

    QGroupBox* times = b.add(new QGroupBox(basic), "GroupBox3");
    auto* tg = new QGridLayout(times);
    tg->addWidget(b.label(times, "Label6", "休眠时间:"), 0, 0);
    edt_sleepTime = b.spin(times, "edt_sleepTime", requests::kMinTimeSeconds, requests::kMaxSleepSeconds, 9);
    tg->addWidget(edt_sleepTime, 0, 1);
    tg->addWidget(b.label(times, "Label7", "秒"), 0, 2);
    tg->addWidget(b.label(times, "Label8", "关机时间:"), 1, 0);
    edt_poweroffTime = b.spin(times, "edt_poweroffTime", requests::kMinTimeSeconds, requests::kMaxSleepSeconds, 9);
    tg->addWidget(edt_poweroffTime, 1, 1);
    tg->addWidget(b.label(times, "Label9", "秒"), 1, 2);
    btn_SetpoweroffTime = b.button(times, "btn_SetpoweroffTime", "设置");
    tg->addWidget(btn_SetpoweroffTime, 1, 3);
    tg->setColumnStretch(1, 1);
    grid->addWidget(times, 4, 0, 1, 3);

    btn_SetAllPara = b.button(basic, "btn_SetAllPara", "设置全部参数");
    grid->addWidget(btn_SetAllPara, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    QGroupBox* reset = b.group(this, "GroupBox4", "恢复默认设置");
    auto* resetRow = new QVBoxLayout(reset);
    btn_SetReset = b.button(reset, "btn_SetReset", "恢复默认设置");
    resetRow->addWidget(btn_SetReset);

    auto* column = new QVBoxLayout(this);
    column->addWidget(basic);
    column->addWidget(reset);
    column->addStretch(1);

    // The setting groups' buttons send what their descriptions say (see
    // sendEveryGroupOnClick); these two are the page's own.
    sendOnClick(btn_SetAllPara, actions_, [this] { return AllParametersRequest(values()); });
    // Nothing reads the printer's values back, so the question says the
    // fields will not follow.
    sendOnClick(btn_SetReset, actions_, [this]() -> MaybeRequest {
        if (!actions_.confirm(MessageText("sConfirmRestoreDefaultsMsg")))
            return std::nullopt;
        return RestoreDefaultsRequest();
    });
}

BasicPageValues BasicPage::values() const
{
    BasicPageValues v;
    v.baudRatePosition = cbb_BauRate->currentIndex();
    v.codePagePosition = cbb_Codepage->currentIndex();
    v.densityPosition = cbb_Dark->currentIndex();
    v.fontPosition = cbb_FontValue->currentIndex();
    v.cutter = chk_CutPaper->isChecked();
    v.buzzer = chk_buzzer->isChecked();
    v.paperFeedPosition = cbb_Forcepaper->currentIndex();
    v.sleepText = edt_sleepTime->text().toStdString();
    v.powerOffText = edt_poweroffTime->text().toStdString();
    return v;
}

}  // namespace pst::para
