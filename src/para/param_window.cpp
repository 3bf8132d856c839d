#include "para/param_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <utility>

#include "texts/main_defaults.h"
#include "app/prompter.h"
#include "engine/comm_thread.h"
#include "texts/message_texts.h"
#include "texts/translation.h"
#include "para/basic_page.h"
#include "para/black_mark_page.h"
#include "para/bluetooth_page.h"
#include "para/download_page.h"
#include "para/group_sending.h"
#include "para/elided_label.h"
#include "para/infrared_page.h"
#include "para/network_page.h"
#include "para/product_page.h"
#include "para/wifi_page.h"
#include "platform/file_bytes.h"
#include "requests/file_filters.h"
#include "requests/profile.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "protocol/input_error.h"
#include "requests/field_refusal.h"
#include "texts/engine_texts.h"
#include "texts/input_refusal_text.h"

namespace pst::para {

namespace {

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

std::vector<std::string> itemsOf(const QComboBox& box)
{
    std::vector<std::string> items;
    for (int i = 0; i < box.count(); ++i)
        items.push_back(box.itemText(i).toStdString());
    return items;
}

// The lists whose items follow the language.
struct TranslatedList {
    const char* control;
    const char* section;
};
constexpr TranslatedList kTranslatedLists[] = {
    {"cbb_Dark", "Dark description"},    {"rg_lyMode", "Blue ToolthMode"},
    {"rg_lyPswcheck", "Blue PSWCheck"},  {"cbb_lyWorkMode", "BlueToolth WorkMode"},
    {"cbb_irdaProtecl", "irda Protecl"}, {"cbb_UsbDeviceTpe", "USB Device Type"},
    {"cbb_PaperType", "Paper Type"},     {"cbb_Flowcontrol", "Flow control"},
    {"Cbx_Bluetooth", "Bluetooth SEEK"}, {"cbb_PrinterOrder", "Printer Order"},
    {"cbb_Dither", "Dither Method"},     {"cbb_LogoWidth", "Logo Width"},
};

}  // namespace

ParamWindow::ParamWindow(app::MainWindowLink& main, QWidget* parent)
    : QMainWindow(parent), main_(main), view_(this)
{
    setObjectName(QStringLiteral("FrmPara"));
    setWindowTitle(QStringLiteral("Pennafor Setting Tool"));
    // System menu and minimise; no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFont(main.programFont());

    auto* central = new QWidget(this);
    setCentralWidget(central);
    PageControl1 = named(new QTabWidget(central), "PageControl1");
    // Eight captions share the width; the English ones need narrow margins.
    PageControl1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 6px; }"));
    PageBuilder build(view_);
    auto page = [&](QWidget* widget, const char* name, const char* caption) {
        build.add(widget, name);
        PageControl1->addTab(widget, QString::fromUtf8(caption));
    };
    // Tab order differs from the page names: the black-mark page came last.
    TabSheet1 = new BasicPage(*this, build);
    page(TabSheet1, "TabSheet1", "基础设置");
    TabSheet2 = new BluetoothPage(*this, build);
    page(TabSheet2, "TabSheet2", "蓝牙设置");
    TabSheet3 = new WifiPage(*this, build);
    page(TabSheet3, "TabSheet3", "WIFI设置");
    TabSheet4 = new NetworkPage(*this, build);
    page(TabSheet4, "TabSheet4", "网络设置");
    TabSheet5 = new InfraredPage(build);
    page(TabSheet5, "TabSheet5", "红外设置");
    TabSheet6 = new DownloadPage(*this, build, main.programFolder());
    page(TabSheet6, "TabSheet6", "程序下载");
    TabSheet8 = new BlackMarkPage(*this, build);
    page(TabSheet8, "TabSheet8", "黑标");
    TabSheet7 = new ProductPage(build);
    page(TabSheet7, "TabSheet7", "产品设置");
    sendEveryGroupOnClick(*this, this);

    btn_ImportProfile = build.button(central, "btn_ImportProfile", "导入配置");
    btn_ExportProfile = build.button(central, "btn_ExportProfile", "导出配置");
    auto* profileRow = new QHBoxLayout;
    profileRow->addStretch(1);
    profileRow->addWidget(btn_ImportProfile);
    profileRow->addWidget(btn_ExportProfile);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(PageControl1, 1);
    column->addLayout(profileRow);
    connect(btn_ImportProfile, &QPushButton::clicked, this, [this] { importProfileClick(); });
    connect(btn_ExportProfile, &QPushButton::clicked, this, [this] { exportProfileClick(); });

    auto* bar = named(new QStatusBar(this), "StatusBar1");
    bar->setSizeGripEnabled(false);
    setStatusBar(bar);
    statusPanel0 = new ElidedLabel(Qt::ElideRight, bar);
    statusPanel0->setFixedWidth(250);
    // A file path: its folder and its name both stay in sight, and the
    // progress bar beside it keeps its room.
    statusPanel1 = new ElidedLabel(Qt::ElideMiddle, bar);
    bar->addWidget(statusPanel0);
    bar->addWidget(statusPanel1, 1);
    // Moves with the blocks of a transfer once their count is known, and
    // says "busy" until then.
    transferBar = named(new QProgressBar(bar), "TransferBar");
    transferBar->setRange(0, 0);
    transferBar->setFixedWidth(120);
    transferBar->setVisible(false);
    bar->addPermanentWidget(transferBar);
    btn_Stop = named(new QPushButton(QStringLiteral("停止"), bar), "btn_Stop");
    btn_Stop->setVisible(false);
    view_.addControl(btn_Stop);
    bar->addPermanentWidget(btn_Stop);
    connect(btn_Stop, &QPushButton::clicked, this, [this] { stopClick(); });

    QPointer<ParamWindow> self(this);
    // While this window is open it hears the run's texts and end; the main
    // window keeps hearing the rest (unsolicited lines, USB devices).
    auto open = [self]() -> ParamWindow* {
        ParamWindow* window = self.data();
        return window && !window->closing_ ? window : nullptr;
    };
    WorkerEvents events = *main_.workerEvents();
    events.linkFound = nullptr;
    events.linkFailed = nullptr;
    events.logNotSaved = nullptr;
    events.status = [open](const StatusUpdate& update) {
        if (ParamWindow* window = open())
            window->onStatus(update);
    };
    events.done = [open](const RunOutcome& outcome) {
        if (ParamWindow* window = open())
            window->onRunDone(outcome);
    };
    events.failed = [open](const WorkerFailure& failure) {
        if (ParamWindow* window = open())
            window->onRunFailed(failure);
    };
    events_ = std::make_shared<const WorkerEvents>(std::move(events));
    setFixedSize(588, 614);
}

ParamWindow::~ParamWindow()
{
    closing_ = true;
}

void ParamWindow::showFromMainWindow(const QWidget& mainWindow)
{
    QRect frame = geometry();
    frame.moveCenter(mainWindow.geometry().center());
    move(frame.topLeft());
    show();
}

void ParamWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A window restored from the task bar is not shown anew.
    if (!event->spontaneous())
        FormShow();
}

void ParamWindow::closeEvent(QCloseEvent* event)
{
    // A run of this window's still going: asked once, it is stopped (it
    // ends on its own, switching the printer back); otherwise the window
    // stays open.
    if (started_) {
        if (!main_.prompter().confirm(MessageText("sStopRunAndCloseMsg"))) {
            event->ignore();
            return;
        }
        main_.worker().cancelOperation();
        started_.reset();
        queued_.reset();
        endRunDisplay();
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        FormClose();
}

std::string ParamWindow::settingsPath() const
{
    return joinPath(main_.programFolder(), texts::kSettingsFileName);
}

void ParamWindow::FormShow()
{
    replaceItemLists();
    loadedValues_ = ReadParaRecord(IniDocument::load(settingsPath()));
    applyValues(loadedValues_);
    TabSheet6->afterRecordLoaded();
    // Texts of runs that ended before the window was opened (perhaps in
    // the other language) say nothing about this time.
    showRunText({});
    statusPanel1->clear();
    endRunDisplay();
    main_.worker().setEvents(events_, Dispatcher::current());
    TabSheet3->updateAddressEdits();
    TabSheet5->updateLists();
    PageControl1->setCurrentIndex(0);
}

void ParamWindow::FormClose()
{
    const std::string error = SaveChangedParaRecord(settingsPath(), loadedValues_, currentValues());
    main_.worker().setEvents(main_.workerEvents(), Dispatcher::current());
    main_.returnFromParameterWindow();
    // The file is the only place the values live between runs: a failed
    // write must not go unnoticed.
    if (!error.empty())
        showMessage(std::string(texts::kSettingsFileName) + ": " + error);
}

void ParamWindow::replaceItemLists()
{
    for (const TranslatedList& list : kTranslatedLists) {
        const std::vector<std::string> items = ItemList(list.section);
        const QString name = QString::fromLatin1(list.control);
        if (auto* box = findChild<QComboBox*>(name)) {
            for (int i = 0; i < box->count() && static_cast<std::size_t>(i) < items.size(); ++i)
                box->setItemText(i, qt(items[static_cast<std::size_t>(i)]));
        } else if (auto* group = findChild<RadioGroup*>(name)) {
            group->setItems(items);
        }
    }
}

void ParamWindow::applyValues(const ParaValues& values)
{
    const auto keys = ParaKeyTable();
    for (std::size_t i = 0; i < keys.size() && i < values.size(); ++i) {
        const ParaKey& key = keys[i];
        const std::string& value = values[i];
        const QString control =
            QString::fromUtf8(key.control.data(), static_cast<qsizetype>(key.control.size()));
        switch (key.kind) {
        case ParaKind::ItemText:
            if (auto* box = findChild<QComboBox*>(control))
                box->setCurrentIndex(ItemForText(itemsOf(*box), value, !key.itemList.empty(),
                                                 key.itemList.empty()
                                                     ? std::vector<std::vector<std::string>>{}
                                                     : texts::itemListInEveryLanguage(
                                                           key.itemList, dataSearchFolders(main_.programFolder()))));
            break;
        case ParaKind::Text:
            if (auto* edit = findChild<QLineEdit*>(control))
                edit->setText(qt(value));
            break;
        case ParaKind::Bool:
            if (auto* box = findChild<QCheckBox*>(control))
                box->setChecked(StoredIndex(value, 0) != 0);
            break;
        case ParaKind::GroupIndex:
            if (auto* group = findChild<RadioGroup*>(control))
                group->setItemIndex(GroupSelection(StoredIndex(value, 0), group->itemCount()));
            break;
        case ParaKind::RadioPair: {
            auto* first = findChild<QRadioButton*>(control);
            auto* second = findChild<QRadioButton*>(QString::fromUtf8(
                key.secondControl.data(), static_cast<qsizetype>(key.secondControl.size())));
            if (const auto which = RadioPairSecond(StoredIndex(value, 0)); which && first && second)
                checkRadio(first, second, *which ? 1 : 0);
            break;
        }
        }
    }
}

ParaValues ParamWindow::currentValues() const
{
    ParaValues values;
    for (const ParaKey& key : ParaKeyTable()) {
        const QString control =
            QString::fromUtf8(key.control.data(), static_cast<qsizetype>(key.control.size()));
        std::string value;
        switch (key.kind) {
        case ParaKind::ItemText:
            if (const auto* box = findChild<QComboBox*>(control))
                value = box->currentText().toStdString();
            break;
        case ParaKind::Text:
            if (const auto* edit = findChild<QLineEdit*>(control))
                value = edit->text().toStdString();
            break;
        case ParaKind::Bool:
            if (const auto* box = findChild<QCheckBox*>(control))
                value = box->isChecked() ? "1" : "0";
            break;
        case ParaKind::GroupIndex:
            if (const auto* group = findChild<RadioGroup*>(control))
                value = std::to_string(group->itemIndex());
            break;
        case ParaKind::RadioPair:
            // The first button checked gives 0; otherwise the second is
            // (or neither, which reads back as the second).
            if (const auto* first = findChild<QRadioButton*>(control))
                value = first->isChecked() ? "0" : "1";
            break;
        }
        values.push_back(std::move(value));
    }
    return values;
}

void ParamWindow::send(const std::function<MaybeRequest()>& build)
{
    // One run at a time, counted until its end has been heard here. A
    // click in the moment after the worker finished and before its end
    // arrived waits for that end (below); any other is refused.
    if (started_ && (main_.worker().busy() || queued_)) {
        statusPanel0->setText(qt(MessageText("sBusyMsg")));
        return;
    }
    MaybeRequest request;
    declined_ = false;
    try {
        request = build();
        if (!request) {
            // The user said no to a question: that is all there is to it.
            if (!declined_)
                showRunText(MessageText("sNothingToSendMsg"));
            return;
        }
        if (request->refreshConnection)
            main_.RefreshConnectionSettings();
    } catch (const EFieldRefusal& refusal) {
        QLineEdit* field = fieldNamed(refusal.field().control);
        showRefusal(refusal.textFor(field ? accessibleNameOf(field) : std::string()));
        if (field && !clickAfterRefusal_) {
            field->setFocus(Qt::OtherFocusReason);
            field->selectAll();
        }
        return;
    } catch (const EConvertError& failure) {
        showRefusal(InputRefusalText(failure));
        return;
    } catch (const EInvalidInput& failure) {
        showRefusal(InputRefusalText(failure));
        return;
    }
    if (started_) {
        queued_ = std::move(request);
        return;
    }
    start(std::move(*request));
}

void ParamWindow::start(Request request)
{
    // The worker keeps its own copy of the hand-over; a refused start leaves
    // the running operation's untouched.
    const Operation operation = request.operation;
    const RunId run = main_.worker().StartOperation(operation, request.argument1, request.argument2,
                                                    std::move(request.handOver));
    if (run == 0) {
        statusPanel0->setText(qt(MessageText("sBusyMsg")));
        return;
    }
    started_ = StartedRun{run, operation};
    lastRunText_.clear();
    // The last run's result stays until now; it would pass for this one's.
    showRunText({});
    if (ShowsTransferProgress(operation)) {
        transferBar->setRange(0, 0);
        transferBar->setVisible(true);
        btn_Stop->setEnabled(true);
        btn_Stop->setVisible(true);
    }
}

void ParamWindow::exportProfileClick()
{
    const QString chosen = chooser_->chooseToSave(this, qt(ProfileFileFilter()));
    if (chosen.isEmpty())
        return;
    const std::string path = WithProfileExtension(chosen.toStdString());
    if (const std::string error = ExportProfile(path, currentValues()); !error.empty()) {
        showMessage(path + ": " + error);
        return;
    }
    statusPanel0->setText(qt(MessageText("sProfileExportedMsg")));
}

void ParamWindow::importProfileClick()
{
    const QStringList chosen = chooser_->chooseToOpen(this, qt(MessageText("sImportProfileTitle")),
                                                      qt(ProfileFileFilter()), 0, false);
    if (chosen.isEmpty())
        return;
    const std::string path = chosen.front().toStdString();
    if (!isRegularFile(path)) {
        showMessage(path + ": " + MessageText("sMsg24"));
        return;
    }
    const Profile profile = Profile::read(IniDocument::load(path));
    const ImportedProfile imported =
        ImportProfile(profile, currentValues(), {dataSearchFolders(main_.programFolder())});
    applyValues(imported.values);
    TabSheet3->updateAddressEdits();
    TabSheet5->updateLists();
    statusPanel0->setText(qt(MessageText("sProfileImportedMsg")));
    if (imported.problems.empty())
        return;
    std::string list;
    for (const std::string& line :
         ImportProblemLines(imported.problems, [this](std::string_view key) { return captionOfKey(key); }))
        list += (list.empty() ? "" : "\n") + line;
    showMessage(MessageWithText("sEntriesNotUnderstoodMsg", "\n" + list));
}

// The caption the user knows a record key's field by: its accessible name
// (its label's text, in the chosen language).
std::string ParamWindow::captionOfKey(std::string_view key) const
{
    for (const ParaKey& entry : ParaKeyTable()) {
        if (entry.key != key)
            continue;
        const auto* control = findChild<const QWidget*>(
            QString::fromUtf8(entry.control.data(), static_cast<qsizetype>(entry.control.size())));
        if (!control)
            return {};
        const auto* edit = qobject_cast<const QLineEdit*>(control);
        return edit ? accessibleNameOf(edit) : control->accessibleName().toStdString();
    }
    return {};
}

void ParamWindow::showSecondStatus(const std::string& text)
{
    statusPanel1->setText(qt(text));
}

void ParamWindow::showMessage(const std::string& text)
{
    main_.prompter().showMessage(text);
}

bool ParamWindow::confirm(const std::string& text)
{
    const bool yes = main_.prompter().confirm(text);
    if (!yes)
        declined_ = true;
    return yes;
}

// The edit a refusal is about, by the control name the builders give.
QLineEdit* ParamWindow::fieldNamed(std::string_view control) const
{
    return findChild<QLineEdit*>(
        QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size())));
}

// An edit inside a list box is named with the list.
std::string ParamWindow::accessibleNameOf(const QLineEdit* field)
{
    const QWidget* named = qobject_cast<const QComboBox*>(field->parentWidget()) ? field->parentWidget() : field;
    return named->accessibleName().toStdString();
}

void ParamWindow::showRefusal(const std::string& text)
{
    // A click made after a field's refusal was answered: the user has just
    // been told what stops it (the field is still as it was), and a second
    // box, in other words, would only repeat that.
    if (!clickAfterRefusal_)
        showMessage(text);
}

void ParamWindow::refuseThenClick(const std::string& text, QAbstractButton* pressedButton)
{
    if (!pressedButton) {
        showMessage(text);
        return;
    }
    // A modal message box takes the press's release, so the button never
    // makes its click; it is made once the focus change under way is over,
    // unless the click came through after all (the button being the
    // timer's context, not at all should it be gone).
    auto clicked = std::make_shared<bool>(false);
    const QMetaObject::Connection watch =
        connect(pressedButton, &QAbstractButton::clicked, this, [clicked] { *clicked = true; });
    showMessage(text);
    QTimer::singleShot(0, pressedButton, [this, watch, clicked, button = pressedButton] {
        disconnect(watch);
        if (*clicked || !button->isEnabled() || !button->isVisible())
            return;
        button->setDown(false);
        clickAfterRefusal_ = true;
        button->click();
        clickAfterRefusal_ = false;
    });
}

bool ParamWindow::isOwnRun(RunId run) const
{
    return started_ && started_->run == run;
}

void ParamWindow::showRunText(const std::string& text)
{
    statusPanel0->setText(qt(text));
    statusPanel0->setDetail({});
}

void ParamWindow::endRunDisplay()
{
    transferBar->setVisible(false);
    btn_Stop->setVisible(false);
    // A run that finished before the stop took effect shows how it ended.
    if (std::exchange(stopping_, false))
        showRunText(lastRunText_);
}

void ParamWindow::stopClick()
{
    if (!started_)
        return;
    main_.worker().cancelOperation();
    stopping_ = true;
    btn_Stop->setEnabled(false);
    showRunText(MessageText("sStoppingMsg"));
}

void ParamWindow::onStatus(const StatusUpdate& update)
{
    if (!isOwnRun(update.run))
        return;
    if (update.inAll > 0 && transferBar->isVisible()) {
        transferBar->setRange(0, update.inAll);
        transferBar->setValue(update.done);
    }
    if (update.panel == StatusPanel::ParamBar) {
        statusPanel1->setText(qt(update.text));
        return;
    }
    lastRunText_ = update.text;
    // "Stopping" stays until the run has ended.
    if (!stopping_)
        showRunText(update.text);
}

void ParamWindow::onRunDone(const RunOutcome& outcome)
{
    if (!isOwnRun(outcome.run))
        return;
    const Operation ended = started_->operation;
    started_.reset();
    endRunDisplay();
    TabSheet6->runEnded(ended, true, outcome.memory);
    // The printer took the product settings: the next printer gets the
    // next number.
    if (ended == Operation::SetProduct)
        stepSerialNumber();
    startQueued();
}

void ParamWindow::startQueued()
{
    if (auto request = std::exchange(queued_, std::nullopt))
        start(std::move(*request));
}

void ParamWindow::onRunFailed(const WorkerFailure& failure)
{
    if (!isOwnRun(failure.run))
        return;
    const Operation ended = started_->operation;
    started_.reset();
    endRunDisplay();
    TabSheet6->runEnded(ended, false, {});
    const std::string text = EngineTextInLanguage(failure.text);
    showRunText(text);
    if (!failure.cause.empty() && failure.cause != failure.text)
        statusPanel0->setDetail(qt(EngineTextInLanguage(failure.cause)));
    // A printer that holds other bytes than were sent prints wrong: that is
    // not left to a line in the status bar.
    if (failure.kind == FailureKind::Mismatch)
        showMessage(text);
    startQueued();
}

void ParamWindow::stepSerialNumber()
{
    try {
        const auto stepped = SteppedSerialNumber(TabSheet7->serialNumberText(), TabSheet7->serialStepsDown(),
                                                 TabSheet7->serialStepsUp());
        if (stepped)
            TabSheet7->setSerialNumberText(*stepped);
    } catch (const EConvertError& failure) {
        showMessage(InputRefusalText(failure));
    }
}

}  // namespace pst::para
