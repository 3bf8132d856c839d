#include "para/bluetooth_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "texts/message_texts.h"

namespace pst::para {

BluetoothPage::BluetoothPage(ParaActions& actions, PageBuilder& b, QWidget* parent)
    : QWidget(parent), actions_(actions)
{
    QGroupBox* settings = b.group(this, "GroupBox5", "蓝牙设置");
    auto* grid = new QGridLayout(settings);
    grid->addWidget(b.label(settings, "Label10", "蓝牙名称"), 0, 0);
    edt_lyName = b.edit(settings, "edt_lyName", "", 20);
    grid->addWidget(edt_lyName, 0, 1);
    grid->addWidget(b.label(settings, "Label11", "双模蓝牙名称"), 1, 0);
    edt_smlyName = b.edit(settings, "edt_smlyName", "", 20);
    grid->addWidget(edt_smlyName, 1, 1);
    grid->addWidget(b.label(settings, "Label12", "蓝牙密码"), 2, 0);
    edt_lyPsw = b.edit(settings, "edt_lyPsw", "", 13);
    maskWithStars(edt_lyPsw);
    grid->addWidget(edt_lyPsw, 2, 1);
    grid->addWidget(b.label(settings, "Label13", "蓝牙型号"), 3, 0);
    edt_lyType = b.edit(settings, "edt_lyType", "1");
    installKeyFilter(edt_lyType, KeyFilter::Digits);
    grid->addWidget(edt_lyType, 3, 1);
    rg_lyMode =
        b.add(new RadioGroup(QStringLiteral("蓝牙模式"), kBluetoothModeItemCount, 3, settings), "rg_lyMode");
    rg_lyMode->setItems(ItemList("Blue ToolthMode"));
    rg_lyMode->setItemIndex(1);
    grid->addWidget(rg_lyMode, 4, 0, 1, 2);
    rg_lyPswcheck = b.add(new RadioGroup(QStringLiteral("密码鉴权"), kPasswordCheckItemCount, 3, settings),
                          "rg_lyPswcheck");
    rg_lyPswcheck->setItems(ItemList("Blue PSWCheck"));
    rg_lyPswcheck->setItemIndex(0);
    grid->addWidget(rg_lyPswcheck, 5, 0, 1, 2);
    btn_SetlyPara = b.button(settings, "btn_SetlyPara", "设置");
    grid->addWidget(btn_SetlyPara, 6, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    QGroupBox* work = b.group(this, "GroupBox6", "工作模式");
    auto* workRow = new QHBoxLayout(work);
    workRow->addWidget(b.label(work, "Label14", "蓝牙工作模式"));
    cbb_lyWorkMode = b.list(work, "cbb_lyWorkMode", itemsOf(ItemList("BlueToolth WorkMode")), 1);
    workRow->addWidget(cbb_lyWorkMode, 1);
    btn_lyWorkMode = b.button(work, "btn_lyWorkMode", "设置");
    workRow->addWidget(btn_lyWorkMode);

    QGroupBox* talk = b.group(this, "GroupBox7", "蓝牙通讯");
    auto* talkRow = new QHBoxLayout(talk);
    edt_lyTestTxt = b.edit(talk, "edt_lyTestTxt", "");
    talkRow->addWidget(edt_lyTestTxt, 1);
    btn_SendLYTxt = b.button(talk, "btn_SendLYTxt", "发送蓝牙控制指令");
    talkRow->addWidget(btn_SendLYTxt);

    auto* column = new QVBoxLayout(this);
    column->addWidget(settings);
    column->addWidget(work);
    column->addWidget(talk);
    column->addStretch(1);

    // The settings' buttons send what their groups describe; the control
    // text is the page's own.
    sendOnClick(btn_SendLYTxt, actions_,
                [this] { return BluetoothControlTextRequestIfGiven(edt_lyTestTxt->text().toStdString()); });
}

BluetoothParameters BluetoothPage::parameters() const
{
    BluetoothParameters p;
    p.modePosition = rg_lyMode->itemIndex();
    p.name = edt_lyName->text().toStdString();
    p.password = edt_lyPsw->text().toStdString();
    p.dualModeName = edt_smlyName->text().toStdString();
    p.passwordCheckPosition = rg_lyPswcheck->itemIndex();
    p.moduleTypeText = edt_lyType->text().toStdString();
    return p;
}

}  // namespace pst::para
