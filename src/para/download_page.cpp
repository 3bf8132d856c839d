#include "para/download_page.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QListWidget>
#include <QVBoxLayout>
#include <optional>

#include "texts/message_texts.h"
#include "para/elided_label.h"
#include "requests/field_refusal.h"
#include "protocol/logo_directory.h"
#include "protocol/picture_file.h"
#include "requests/file_filters.h"
#include "requests/logo_choices.h"
#include "protocol/downloads.h"

namespace pst::para {

namespace {

constexpr int kThumbnailWidth = 96;
constexpr int kThumbnailHeight = 36;

// The dots as the printer will print them, shrunk into the list's icon.
QIcon thumbnailIcon(const GreyImage& dots)
{
    const QImage image(dots.pixels.data(), dots.width, dots.height, dots.width, QImage::Format_Grayscale8);
    return QIcon(QPixmap::fromImage(
        image.scaled(kThumbnailWidth, kThumbnailHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

std::string text(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

}  // namespace

DownloadPage::DownloadPage(ParaActions& actions, PageBuilder& b, std::string programFolder, QWidget* parent)
    : QWidget(parent),
      actions_(actions),
      programFolder_(std::move(programFolder)),
      dialogs_(std::make_unique<DialogFileChooser>()),
      chooser_(dialogs_.get())
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
    makeReadOnly(edt_WaitTime);
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
    ListBox1->setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
    lg->addWidget(ListBox1, 0, 0, 4, 1);
    btn_OpenLogo = b.button(logo, "btn_OpenLogo", "浏览");
    btn_DeleteLogo = b.button(logo, "btn_DeleteLogo", "删除");
    btn_DownLogo = b.button(logo, "btn_DownLogo", "下载");
    btn_PrintLogo = b.button(logo, "btn_PrintLogo", "打印");
    lg->addWidget(btn_OpenLogo, 0, 1);
    lg->addWidget(btn_DeleteLogo, 1, 1);
    lg->addWidget(btn_DownLogo, 2, 1);
    lg->addWidget(btn_PrintLogo, 3, 1);
    // How pictures become dots; the thumbnails follow every change.
    auto* choices = new QHBoxLayout;
    choices->addWidget(b.label(logo, "Label55", "转换"));
    cbb_Dither = b.list(logo, "cbb_Dither", itemsOf(ItemList("Dither Method")), 0);
    choices->addWidget(cbb_Dither, 3);
    choices->addWidget(b.label(logo, "Label56", "阈值"));
    edt_Threshold = b.spin(logo, "edt_Threshold", kLogoThresholdField.lowest, kLogoThresholdField.highest, 3);
    edt_Threshold->setText(QStringLiteral("128"));
    edt_Threshold->setFixedWidth(56);
    installKeyFilter(edt_Threshold, KeyFilter::Digits);
    choices->addWidget(edt_Threshold);
    choices->addWidget(b.label(logo, "Label57", "宽度"));
    cbb_LogoWidth = b.list(logo, "cbb_LogoWidth", itemsOf(ItemList("Logo Width")), 0);
    choices->addWidget(cbb_LogoWidth, 2);
    lg->addLayout(choices, 4, 0, 1, 2);
    auto* stored = new QHBoxLayout;
    btn_ReadLogos = b.button(logo, "btn_ReadLogos", "读取已存");
    stored->addWidget(btn_ReadLogos);
    lbl_StoredLogos = b.add(new ElidedLabel(Qt::ElideRight, logo), "lbl_StoredLogos");
    stored->addWidget(lbl_StoredLogos, 1);
    lg->addLayout(stored, 5, 0, 1, 2);
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
    // One choice for both downloads above it.
    chk_Verify = b.check(this, "chk_Verify", "校验", false);
    column->addWidget(chk_Verify);
    column->addWidget(readBack);
    column->addStretch(1);

    connect(btn_OpenPrg, &QPushButton::clicked, this, [this] { btn_OpenPrgClick(); });
    connect(btn_UpdatePrg, &QPushButton::clicked, this, [this] { btn_UpdatePrgClick(); });
    connect(bt_firmware, &QPushButton::clicked, this, [this] { bt_firmwareClick(); });
    connect(btn_OpenFont, &QPushButton::clicked, this, [this] { btn_OpenFontClick(); });
    connect(btn_UpdateFont, &QPushButton::clicked, this, [this] { btn_UpdateFontClick(); });
    connect(btn_OpenLogo, &QPushButton::clicked, this, [this] { btn_OpenLogoClick(); });
    connect(btn_DeleteLogo, &QPushButton::clicked, this, [this] { btn_DeleteLogoClick(); });
    connect(btn_DownLogo, &QPushButton::clicked, this, [this] { btn_DownLogoClick(); });
    connect(btn_PrintLogo, &QPushButton::clicked, this, [this] { btn_PrintLogoClick(); });
    connect(btn_ReadFont, &QPushButton::clicked, this, [this] { btn_ReadFontClick(); });
    connect(btn_ReadLogos, &QPushButton::clicked, this, [this] { btn_ReadLogosClick(); });
    connect(cbb_Dither, &QComboBox::currentIndexChanged, this, [this] { refreshThumbnails(); });
    connect(cbb_LogoWidth, &QComboBox::currentIndexChanged, this, [this] { refreshThumbnails(); });
    connect(edt_Threshold, &QLineEdit::textChanged, this, [this] { refreshThumbnails(); });
}

DownloadPage::~DownloadPage() = default;

void DownloadPage::afterRecordLoaded()
{
    bt_firmware->setVisible(false);
    btn_UpdatePrg->setVisible(true);
}

QString DownloadPage::chooseOne(const QString& title)
{
    return chooser_->chooseToOpen(this, title, QString::fromStdString(ProgramFileFilter()), 0, false)
        .value(0);
}

void DownloadPage::setStatusPanel1(const std::string& status)
{
    actions_.showSecondStatus(status);
}

void DownloadPage::btn_OpenPrgClick()
{
    openTitle_ = QString::fromStdString(MessageText("sOpenPrgFile"));
    if (const QString path = chooseOne(openTitle_); !path.isEmpty())
        edt_Prgfile->setText(path);
}

void DownloadPage::btn_OpenFontClick()
{
    openTitle_ = QString::fromStdString(MessageText("sOpenFontFile"));
    if (const QString path = chooseOne(openTitle_); !path.isEmpty())
        edt_FontFile->setText(path);
}

void DownloadPage::btn_OpenLogoClick()
{
    // The logo dialog keeps whatever title the last dialog had.
    const QStringList paths =
        chooser_->chooseToOpen(this, openTitle_, QString::fromStdString(PictureFileFilter()), 0, true);
    ListBox1->addItems(paths);
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    refreshThumbnails();
}

PictureConversion DownloadPage::pictureConversion() const
{
    return ConversionFromChoices(cbb_Dither->currentIndex(), text(edt_Threshold), cbb_LogoWidth->currentIndex());
}

void DownloadPage::refreshThumbnails()
{
    // A threshold the download would refuse draws no dots: each entry
    // says why instead.
    std::optional<PictureConversion> conversion;
    std::string refusal;
    try {
        conversion = pictureConversion();
    } catch (const EFieldRefusal& refused) {
        refusal = refused.textFor(edt_Threshold->accessibleName().toStdString());
    }
    for (int i = 0; i < ListBox1->count(); ++i) {
        QListWidgetItem* item = ListBox1->item(i);
        const LogoThumbnail thumbnail =
            conversion ? ThumbnailFor(item->text().toStdString(), *conversion) : LogoThumbnail{{}, refusal};
        // A picture that cannot print as chosen says why where it stands.
        item->setIcon(thumbnail.problem.empty() ? thumbnailIcon(thumbnail.dots) : QIcon());
        item->setToolTip(QString::fromStdString(thumbnail.problem));
    }
}

void DownloadPage::btn_UpdatePrgClick()
{
    updateProgram(false);
}

void DownloadPage::bt_firmwareClick()
{
    updateProgram(true);
}

void DownloadPage::updateProgram(bool firmware)
{
    actions_.send([&]() -> MaybeRequest {
        ProgramUpdatePlan plan = ProgramUpdateRequest(text(edt_Prgfile), text(edt_WaitTime), firmware,
                                                      MessageText("sUpdatePrgFile"));
        // Asked once the file is known to be sendable: an interrupted
        // update can leave the printer without a working program.
        if (!actions_.confirm(
                MessageText(firmware ? "sConfirmFirmwareUpdateMsg" : "sConfirmProgramUpdateMsg")))
            return std::nullopt;
        setStatusPanel1(plan.statusText);
        return std::move(plan.request);
    });
}

void DownloadPage::btn_UpdateFontClick()
{
    actions_.send(
        [&] { return FontDownloadRequest(text(edt_FontFile), text(edt_FontAddress), chk_Verify->isChecked()); });
}

std::vector<bool> DownloadPage::logoSelection() const
{
    std::vector<bool> selected;
    for (int i = 0; i < ListBox1->count(); ++i)
        selected.push_back(ListBox1->item(i)->isSelected());
    return selected;
}

void DownloadPage::btn_DeleteLogoClick()
{
    const std::vector<std::size_t> doomed = LogoEntriesToDelete(logoSelection());
    // From the back, so the positions still to go stay where they were.
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        delete ListBox1->takeItem(static_cast<int>(*it));
}

void DownloadPage::btn_DownLogoClick()
{
    std::vector<std::string> paths;
    for (int i = 0; i < ListBox1->count(); ++i)
        paths.push_back(ListBox1->item(i)->text().toStdString());
    actions_.send([&]() -> MaybeRequest {
        const PictureConversion conversion = pictureConversion();
        MaybeRequest request = LogoDownloadRequest(
            paths, LogoBankPath(programFolder_),
            [&](const std::string& path) { return LoadLogoPicture(path, conversion); }, MessageText("sDnLogFileMsg"),
            chk_Verify->isChecked());
        // Asked once the bank is known to be sendable, and once for all logos.
        if (request && !actions_.confirm(MessageText("sConfirmReplaceLogosMsg")))
            return std::nullopt;
        return request;
    });
}

void DownloadPage::btn_ReadLogosClick()
{
    actions_.send([this] {
        lbl_StoredLogos->clear();
        return StoredLogosReadRequest();
    });
}

void DownloadPage::runEnded(Operation operation, bool succeeded, const std::vector<std::uint8_t>& memory)
{
    // Only this page's button reads memory without a file.
    if (operation != Operation::ReadMemoryBlock || !succeeded)
        return;
    std::string shown;
    for (const std::string& line : StoredLogoLines(ParseLogoDirectory(memory)))
        shown += (shown.empty() ? "" : "; ") + line;
    lbl_StoredLogos->setText(QString::fromStdString(shown));
}

void DownloadPage::btn_PrintLogoClick()
{
    actions_.send([&] { return LogoPrintRequest(logoSelection()); });
}

void DownloadPage::btn_ReadFontClick()
{
    const QString target = chooser_->chooseToSave(this, QString::fromStdString(ReadBackFileFilter()));
    if (target.isEmpty())
        return;
    actions_.send([&]() -> MaybeRequest {
        Request request =
            ReadBackRequestFor(text(edt_StartAddress), text(edt_ReadLength), target.toStdString());
        setStatusPanel1(MessageText("sUpdateFontFile") + ":" + target.toStdString());
        return request;
    });
}

}  // namespace pst::para
