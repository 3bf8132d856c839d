#include "para/download_page.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

namespace pst::para {

namespace {

const char* const kNotYetHint = "此功能尚未接入下载程序";

}  // namespace

DownloadPage::DownloadPage(PageBuilder& b, QWidget* parent) : QWidget(parent)
{
    QGroupBox* program = b.group(this, "GroupBox14", "程序更新");
    auto* pg = new QGridLayout(program);
    pg->addWidget(b.label(program, "Label48", "选择打印机固件"), 0, 0);
    edt_Prgfile = b.edit(program, "edt_Prgfile", "");
    pg->addWidget(edt_Prgfile, 0, 1);
    btn_OpenPrg = b.button(program, "btn_OpenPrg", "浏览");
    pg->addWidget(btn_OpenPrg, 0, 2);
    pg->addWidget(b.label(program, "Label49", "等待时间"), 1, 0);
    auto* waitRow = new QHBoxLayout;
    edt_WaitTime = b.edit(program, "edt_WaitTime", "5");
    edt_WaitTime->setReadOnly(true);
    edt_WaitTime->setFixedWidth(60);
    installKeyFilter(edt_WaitTime, KeyFilter::Digits);
    waitRow->addWidget(edt_WaitTime);
    waitRow->addWidget(b.label(program, "Label50", "秒"));
    waitRow->addStretch(1);
    pg->addLayout(waitRow, 1, 1);
    btn_UpdatePrg = b.button(program, "btn_UpdatePrg", "更新");
    pg->addWidget(btn_UpdatePrg, 2, 0, 1, 3);
    bt_firmware = b.button(program, "bt_firmware", "固件更新");
    pg->addWidget(bt_firmware, 3, 0, 1, 3);
    pg->setColumnStretch(1, 1);

    QGroupBox* font = b.group(this, "GroupBox15", "更新字库");
    auto* fg = new QGridLayout(font);
    fg->addWidget(b.label(font, "Label51", "选择字库文件"), 0, 0);
    edt_FontFile = b.edit(font, "edt_FontFile", "");
    fg->addWidget(edt_FontFile, 0, 1);
    btn_OpenFont = b.button(font, "btn_OpenFont", "浏览");
    fg->addWidget(btn_OpenFont, 0, 2);
    fg->addWidget(b.label(font, "Label52", "字库起始地址"), 1, 0);
    edt_FontAddress = b.edit(font, "edt_FontAddress", "");
    fg->addWidget(edt_FontAddress, 1, 1);
    btn_UpdateFont = b.button(font, "btn_UpdateFont", "更新");
    fg->addWidget(btn_UpdateFont, 1, 2);
    fg->setColumnStretch(1, 1);

    QGroupBox* logo = b.group(this, "GroupBox16", "NV-LOGO");
    auto* lg = new QGridLayout(logo);
    ListBox1 = b.add(new QListWidget(logo), "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setMaximumHeight(80);
    lg->addWidget(ListBox1, 0, 0, 4, 1);
    btn_OpenLogo = b.button(logo, "btn_OpenLogo", "浏览");
    btn_DeleteLogo = b.button(logo, "btn_DeleteLogo", "删除");
    btn_DownLogo = b.button(logo, "btn_DownLogo", "下载");
    btn_PrintLogo = b.button(logo, "btn_PrintLogo", "打印");
    lg->addWidget(btn_OpenLogo, 0, 1);
    lg->addWidget(btn_DeleteLogo, 1, 1);
    lg->addWidget(btn_DownLogo, 2, 1);
    lg->addWidget(btn_PrintLogo, 3, 1);
    lg->setColumnStretch(0, 1);

    QGroupBox* readBack = b.group(this, "GroupBox17", "加载字库");
    auto* rg = new QGridLayout(readBack);
    rg->addWidget(b.label(readBack, "Label53", "起始地址"), 0, 0);
    edt_StartAddress = b.edit(readBack, "edt_StartAddress", "");
    rg->addWidget(edt_StartAddress, 0, 1);
    rg->addWidget(b.label(readBack, "Label54", "读取长度"), 0, 2);
    edt_ReadLength = b.edit(readBack, "edt_ReadLength", "");
    rg->addWidget(edt_ReadLength, 0, 3);
    btn_ReadFont = b.button(readBack, "btn_ReadFont", "读取");
    rg->addWidget(btn_ReadFont, 0, 4);

    auto* column = new QVBoxLayout(this);
    column->addWidget(program);
    column->addWidget(font);
    column->addWidget(logo);
    column->addWidget(readBack);
    column->addStretch(1);

    for (QPushButton* button : {btn_OpenPrg, btn_UpdatePrg, bt_firmware, btn_OpenFont, btn_UpdateFont,
                                btn_OpenLogo, btn_DeleteLogo, btn_DownLogo, btn_PrintLogo, btn_ReadFont}) {
        button->setEnabled(false);
        button->setToolTip(QString::fromUtf8(kNotYetHint));
    }
}

void DownloadPage::AfterRecordLoaded()
{
    bt_firmware->setVisible(false);
    btn_UpdatePrg->setVisible(true);
}

}  // namespace pst::para
