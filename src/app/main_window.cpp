#include "app/main_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <algorithm>
#include <variant>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/accessible_names.h"
#include "app/com_port_list.h"
#include "app/dispatcher_pump.h"
#include "app/drop_down_combo_box.h"
#include "app/find_printer_dialog.h"
#include "app/printer_search_choice.h"
#include "app/speed_boxes.h"
#include "texts/engine_texts.h"
#include "texts/environment_language.h"
#include "texts/main_defaults.h"
#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"
#include "app/parameter_window_link.h"
#include "texts/translation.h"
#include "operations/operation_table.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "operations/operation.h"
#include "requests/boot_handshake.h"
#include "transport/udp_client.h"

namespace pst::app {

// The remembered choices, the language files and the texts that follow them.
using namespace pst::texts;

namespace {

const QStringList kSpeeds = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400"};

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

QFont verdana(int pixelSize, bool bold = false)
{
    QFont font;
    if (QFontDatabase::families().contains(QStringLiteral("Verdana")))
        font.setFamily(QStringLiteral("Verdana"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

DropDownComboBox* comboBox(QWidget* parent, const char* name, const QStringList& items, int selected)
{
    auto* box = new DropDownComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    // Typing must never add items: the lists are fixed, and the position of
    // an item is what the program reads.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(selected);
    return box;
}

template <typename Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), view_(this)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Pennafor Setting Tool V1.0"));
    // System menu and minimise; no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFont(verdana(13));
    buildControls();
    FormCreate();
}

MainWindow::~MainWindow()
{
    // The worker may still deliver messages while it stops; none of them may
    // reach a window that is going away.
    closing_ = true;
    if (linkWait_)
        linkWait_->quit();
    if (settings_)
        settings_->unsubscribe(settingsSubscription_);
    worker_.reset();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Boot mode ends on its own as the window goes; any other run is asked
    // about once.
    if (worker_->busy() && !bootModeOn() && !setup_.prompter->confirm(MessageText("sStopRunAndCloseMsg"))) {
        event->ignore();
        return;
    }
    worker_->cancelOperation();
    QMainWindow::closeEvent(event);
}

void MainWindow::setParameterWindow(ParameterWindowLink* window)
{
    para_ = window;
}

void MainWindow::buildControls()
{
    Panel1 = named(new QWidget(this), "Panel1");
    Panel1->setFont(verdana(12));
    setCentralWidget(Panel1);

    GroupBox1 = named(new QGroupBox(QStringLiteral("选择通讯端口"), Panel1), "GroupBox1");
    RadioButton1 = named(new QRadioButton(QStringLiteral("串口"), GroupBox1), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("网口"), GroupBox1), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("USB"), GroupBox1), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("并口"), GroupBox1), "RadioButton4");
    RadioButton1->setChecked(true);
    RadioButton4->setEnabled(false);
    cbb_Comname = comboBox(GroupBox1, "cbb_Comname", {}, -1);
    cbb_Comname->setEditText(QStringLiteral("COM1"));
    Label1 = named(new QLabel(QStringLiteral("波特率"), GroupBox1), "Label1");
    cbb_DevBauRate = comboBox(GroupBox1, "cbb_DevBauRate", kSpeeds, 3);
    Label4 = named(new QLabel(QStringLiteral("->"), GroupBox1), "Label4");
    Label4->setFont(verdana(12, true));
    cbb_TranBauRate = comboBox(GroupBox1, "cbb_TranBauRate", kSpeeds, 7);
    Label2 = named(new QLabel(QStringLiteral("校验"), GroupBox1), "Label2");
    cbb_Check = comboBox(GroupBox1, "cbb_Check", {"NONE", "ODD", "EVEN"}, 0);
    Label3 = named(new QLabel(QStringLiteral("端口"), GroupBox1), "Label3");
    edt_Ipaddress = named(new QLineEdit(QStringLiteral("192.168.1.87"), GroupBox1), "edt_Ipaddress");
    edt_Port = named(new QLineEdit(QStringLiteral("5100"), GroupBox1), "edt_Port");
    cbb_UsbDeviceList = comboBox(GroupBox1, "cbb_UsbDeviceList", {}, -1);
    cbb_Lpt = comboBox(GroupBox1, "cbb_Lpt", {}, -1);

    lbl_language = named(new QLabel(QStringLiteral("选择语言"), Panel1), "lbl_language");
    cbb_Language = comboBox(Panel1, "cbb_Language", {QStringLiteral("中文"), QStringLiteral("English")}, 0);
    but_bootIn = named(new QPushButton(QStringLiteral("进入BOOT模式"), Panel1), "but_bootIn");
    but_bootOut = named(new QPushButton(QStringLiteral("退出BOOT模式"), Panel1), "but_bootOut");
    Memo1 = named(new QPlainTextEdit(QStringLiteral("Memo1"), Panel1), "Memo1");
    Memo1->setVisible(false);
    // Data a printer sends unasked could go on for ever; keep the latest.
    Memo1->setMaximumBlockCount(1000);
    lbl_TranMsg = named(new QLabel(QStringLiteral("当前选择串口"), Panel1), "lbl_TranMsg");
    lbl_TranMsg->setFont(verdana(16, true));
    btn_Test = named(new QPushButton(QStringLiteral("测试通讯"), Panel1), "btn_Test");
    btn_SetPara = named(new QPushButton(QStringLiteral("设置参数"), Panel1), "btn_SetPara");
    btn_Find = named(new QPushButton(QStringLiteral("查找打印机"), Panel1), "btn_Find");
    btn_Test->setMinimumHeight(41);
    btn_Find->setMinimumHeight(41);
    btn_SetPara->setMinimumHeight(41);

    auto* bar = named(new QStatusBar(this), "StatusBar1");
    setStatusBar(bar);
    bar->setSizeGripEnabled(false);
    statusPanel0 = new QLabel(bar);
    statusPanel0->setMinimumWidth(150);
    statusPanel1 = new QLabel(bar);
    statusPanel1->setMinimumWidth(50);
    bar->addWidget(statusPanel0, 1);
    bar->addWidget(statusPanel1);
    bootBusy = new QProgressBar(bar);
    bootBusy->setObjectName(QStringLiteral("BootBusy"));
    bootBusy->setRange(0, 0);
    bootBusy->setFixedWidth(80);
    bootBusy->setVisible(false);
    bar->addPermanentWidget(bootBusy);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);

    for (QWidget* control :
         std::initializer_list<QWidget*>{GroupBox1,    RadioButton1,    RadioButton2, RadioButton3,
                                         RadioButton4, cbb_Comname,     Label1,       cbb_DevBauRate,
                                         Label4,       cbb_TranBauRate, Label2,       cbb_Check,
                                         Label3,       edt_Ipaddress,   edt_Port,     cbb_UsbDeviceList,
                                         cbb_Lpt,      lbl_language,    cbb_Language, but_bootIn,
                                         but_bootOut,  Memo1,           lbl_TranMsg,  btn_Test,
                                         btn_Find,     btn_SetPara})
        view_.addControl(control);

    // Layout: the design's rows, left to the layout engine. Each row sizes
    // its own boxes; the link-kind buttons form the first column.
    auto* grid = new QGridLayout(GroupBox1);
    grid->setVerticalSpacing(14);
    auto row = [grid](int index, QRadioButton* button,
                      std::initializer_list<std::pair<QWidget*, int>> cells) {
        grid->addWidget(button, index, 0);
        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        for (const auto& [widget, stretch] : cells)
            line->addWidget(widget, stretch);
        grid->addLayout(line, index, 1);
    };
    // Device paths are longer than the COM names the design was drawn for:
    // the port box takes what the fixed-width speed and parity boxes leave.
    cbb_Comname->setMinimumWidth(110);
    cbb_DevBauRate->setFixedWidth(76);
    cbb_Check->setFixedWidth(72);
    cbb_TranBauRate->setFixedWidth(82);
    row(0, RadioButton1,
        {{cbb_Comname, 1},
         {Label1, 0},
         {cbb_DevBauRate, 0},
         {Label2, 0},
         {cbb_Check, 0},
         {Label4, 0},
         {cbb_TranBauRate, 0}});
    row(1, RadioButton2, {{edt_Ipaddress, 3}, {Label3, 0}, {edt_Port, 2}});
    row(2, RadioButton3, {{cbb_UsbDeviceList, 1}});
    row(3, RadioButton4, {{cbb_Lpt, 1}});
    GroupBox1->setMinimumHeight(184);

    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(lbl_language);
    languageRow->addStretch(1);
    cbb_Language->setFixedWidth(145);
    languageRow->addWidget(cbb_Language);

    auto* bootColumn = new QVBoxLayout;
    but_bootIn->setFixedWidth(145);
    but_bootOut->setFixedWidth(145);
    bootColumn->addWidget(but_bootIn);
    bootColumn->addWidget(but_bootOut);
    auto* bootRow = new QHBoxLayout;
    bootRow->addStretch(1);
    bootRow->addLayout(bootColumn);

    auto* column = new QVBoxLayout(Panel1);
    column->addWidget(GroupBox1);
    column->addLayout(languageRow);
    column->addLayout(bootRow);
    column->addWidget(Memo1);
    column->addStretch(1);
    column->addWidget(lbl_TranMsg);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(btn_Test, 1);
    btn_Find->setFixedWidth(145);
    testRow->addWidget(btn_Find);
    column->addLayout(testRow);
    column->addSpacing(8);
    column->addWidget(btn_SetPara);

    connect(cbb_Comname, &DropDownComboBox::droppingDown, this, [this] { cbb_ComnameDropDown(); });
    connect(cbb_Language, &QComboBox::activated, this, [this] { cbb_LanguageChange(); });
    connect(cbb_Language->lineEdit(), &QLineEdit::textEdited, this, [this] { cbb_LanguageChange(); });
    for (int kind = 0; kind < 4; ++kind) {
        // Runs when the choice changes, by a click or by the stored choice:
        // a click on the chosen button changes nothing.
        connect(linkKindButton(kind), &QRadioButton::toggled, this, [this, kind](bool checked) {
            noteChosenLinkKind();
            if (checked)
                radioButtonClick(kind);
        });
    }
    connect(cbb_DevBauRate, &QComboBox::currentTextChanged, this, [this] { noteChosenSpeedTexts(); });
    connect(cbb_TranBauRate, &QComboBox::currentTextChanged, this, [this] { noteChosenSpeedTexts(); });
    connect(btn_Test, &QPushButton::clicked, this, [this] { btn_TestClick(); });
    connect(btn_SetPara, &QPushButton::clicked, this, [this] { btn_SetParaClick(); });
    connect(btn_Find, &QPushButton::clicked, this, [this] { btn_FindClick(); });
    connect(but_bootIn, &QPushButton::clicked, this, [this] { but_bootInClick(); });
    connect(but_bootOut, &QPushButton::clicked, this, [this] { but_bootOutClick(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    // A little wider than the design, which was drawn for Chinese captions:
    // the English ones of the first row need the room.
    setFixedSize(624, 572);
}

void MainWindow::FormCreate()
{
    settings_ = std::make_shared<ConnectionSettingsStore>();
    settings_->update([](ConnectionSettings& s) { s.comName = "COM1"; });
    noteChosenLinkKind();
    noteChosenSpeedTexts();

    auto dispatcher = Dispatcher::current();
    pump_ = new DispatcherPump(dispatcher, this);
    // The worker writes back the speed it left the printer at, from its own
    // thread: the boxes show it once this thread hears of the change.
    QPointer<MainWindow> self(this);
    settingsSubscription_ = settings_->subscribe([self, dispatcher](const ConnectionSettings&) {
        dispatcher->post([self] {
            if (MainWindow* window = self.data(); window && !window->closing_)
                window->showStoredSpeeds();
        });
    });
    events_ = std::make_shared<const WorkerEvents>(makeWorkerEvents());
    UdpClient1 = std::make_shared<TUdpClient>();
    WorkerLinks links;
    links.udpClient = UdpClient1;
    links.usbPaths = setup_.usbPaths;
    links.watchUsbDevices = setup_.watchUsbDevices;
    worker_ = std::make_unique<TCommThread>(settings_, setup_.programFolder, std::move(links));
    worker_->setOperationTable(&operationHandler);
    bootWorker_ = std::make_unique<requests::WorkerBootHandshake>(*worker_);
    bootHandshake_ = std::make_unique<requests::BootHandshake>(*bootWorker_);
    worker_->setEvents(events_, dispatcher);
    showUsbDevices(worker_->usbDevices());
    comListRefresh();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A window restored from the task bar is not shown anew.
    if (!event->spontaneous())
        FormShow();
}

void MainWindow::FormShow()
{
    const MainDefaults defaults =
        readMainDefaults(IniDocument::load(joinPath(setup_.programFolder, kSettingsFileName)));
    edt_Ipaddress->setText(qt(defaults.ipAddress));
    const int language = startingLanguage(defaults);
    cbb_Language->setCurrentIndex(language >= 0 && language < cbb_Language->count() ? language : -1);
    if (defaults.tranMode)
        linkKindButton(*defaults.tranMode)->setChecked(true);
    translate(languageIndex());
    if (cbb_UsbDeviceList->count() > 0)
        cbb_UsbDeviceList->setCurrentIndex(0);
    showLinkKindText();
}

void MainWindow::comListRefresh()
{
    const ComPortChoices choices = comPortChoices(listSerialPorts(setup_.sysfsTtyFolder), setup_.namedPorts);
    cbb_Comname->clear();
    for (const auto& item : choices.items)
        cbb_Comname->addItem(qt(item));
    cbb_Comname->setCurrentIndex(choices.selectFirst ? 0 : -1);
    if (!choices.selectFirst)
        cbb_Comname->setEditText(QString());
    // A long device path shows from its start.
    cbb_Comname->lineEdit()->setCursorPosition(0);
}

void MainWindow::showUsbDevices(const UsbDeviceListing& listing)
{
    cbb_UsbDeviceList->clear();
    for (const auto& item : listing.items)
        cbb_UsbDeviceList->addItem(qt(item));
    const int chosen = cbb_UsbDeviceList->findText(qt(listing.text), Qt::MatchExactly);
    cbb_UsbDeviceList->setCurrentIndex(chosen);
    if (chosen < 0)
        cbb_UsbDeviceList->setEditText(qt(listing.text));
}

int MainWindow::languageIndex() const
{
    return cbb_Language->findText(cbb_Language->currentText(), Qt::MatchExactly);
}

void MainWindow::translate(int languageIndex)
{
    const IniDocument file = IniDocument::load(findLanguageFile(setup_.languageFolders, languageIndex));
    std::vector<WidgetTranslationView*> views{&view_};
    if (para_)
        views.push_back(&para_->translationView());
    translateAll(file, languageIndex, std::vector<TranslatableWindow*>(views.begin(), views.end()));
    qtTexts_.follow(languageIndex);
    for (const WidgetTranslationView* view : views)
        NameFieldsAfterTheirLabels(view->window());
    // The only field with neither label nor box: it gets a name of its own.
    Memo1->setAccessibleName(qt(MessageText("sPrinterLinesName")));
    // Its label is the arrow from the device speed, which names nothing.
    cbb_TranBauRate->setAccessibleName(qt(MessageText("sTransferSpeedName")));
}

void MainWindow::cbb_LanguageChange()
{
    translate(languageIndex());
    showLinkKindText();
}

int MainWindow::selectedLinkKind() const
{
    for (int kind = 0; kind < 4; ++kind)
        if (linkKindButton(kind)->isChecked())
            return kind;
    return 0;
}

QRadioButton* MainWindow::linkKindButton(int linkKind) const
{
    switch (linkKind) {
    case 1:
        return RadioButton2;
    case 2:
        return RadioButton3;
    case 3:
        return RadioButton4;
    default:
        return RadioButton1;
    }
}

void MainWindow::showLinkKindText()
{
    lbl_TranMsg->setText(qt(linkKindText(selectedLinkKind())));
}

void MainWindow::radioButtonClick(int linkKind)
{
    noteLinkTested(false);
    lbl_TranMsg->setText(qt(linkKindText(linkKind)));
}

LinkControls MainWindow::currentLinkControls() const
{
    LinkControls controls;
    controls.kind = static_cast<LinkKind>(selectedLinkKind());
    controls.comName = cbb_Comname->currentText().toStdString();
    controls.deviceSpeedText = cbb_DevBauRate->currentText().toStdString();
    controls.transferSpeedText = cbb_TranBauRate->currentText().toStdString();
    controls.ipAddress = edt_Ipaddress->text().toStdString();
    controls.portText = edt_Port->text().toStdString();
    controls.usbDeviceId = cbb_UsbDeviceList->currentText().toStdString();
    return controls;
}

void MainWindow::noteChosenLinkKind()
{
    // Signals fire while the controls are still being made.
    if (settings_)
        noteLinkKind(*settings_, static_cast<LinkKind>(selectedLinkKind()));
}

void MainWindow::noteChosenSpeedTexts()
{
    if (settings_ && cbb_TranBauRate)
        notedSpeeds_ = noteSpeedTexts(*settings_, cbb_DevBauRate->currentText().toStdString(),
                                      cbb_TranBauRate->currentText().toStdString());
}

void MainWindow::showStoredSpeeds()
{
    // The store follows every change of the boxes, so a difference from
    // what they noted last can only come from the worker.
    const ConnectionSettings stored = settings_->get();
    if (stored.deviceSpeed != notedSpeeds_.device)
        cbb_DevBauRate->setEditText(qt(std::to_string(stored.deviceSpeed)));
    if (stored.transferSpeed != notedSpeeds_.transfer)
        cbb_TranBauRate->setEditText(qt(std::to_string(stored.transferSpeed)));
}

void MainWindow::RefreshConnectionSettings()
{
    try {
        refreshConnectionSettings(*settings_, currentLinkControls());
    } catch (const ELinkBoxRefusal& refusal) {
        // Told by the parameter window: this window is hidden then.
        throw EInvalidInput(refusal.textFor(linkBoxCaption(refusal)));
    }
}

std::string MainWindow::linkBoxCaption(const ELinkBoxRefusal& refusal) const
{
    const auto* box = findChild<QWidget*>(QString::fromStdString(refusal.control()));
    return box ? box->accessibleName().toStdString() : refusal.control();
}

bool MainWindow::refusedLinkBox()
{
    try {
        RequireUsableLinkBoxes(currentLinkControls());
        return false;
    } catch (const ELinkBoxRefusal& refusal) {
        setup_.prompter->showMessage(refusal.textFor(linkBoxCaption(refusal)));
        if (auto* box = findChild<QWidget*>(QString::fromStdString(refusal.control())))
            box->setFocus(Qt::OtherFocusReason);
        return true;
    }
}

void MainWindow::showBusy()
{
    statusPanel0->setText(qt(MessageText("sBusyMsg")));
}

void MainWindow::btn_TestClick()
{
    if (refusedLinkBox())
        return;
    testWaitCounter_ = -1;
    noteLinkTested(false);
    try {
        RefreshConnectionSettings();
    } catch (const EConvertError& failure) {
        setup_.prompter->showMessage(InputRefusalText(failure));
        return;
    }
    if (worker_->portOpen())
        return;
    statusPanel1->clear();
    linkRun_ = worker_->StartOperation(Operation::LinkTest, 0, 0);
    if (linkRun_ == 0)
        showBusy();
}

void MainWindow::btn_SetParaClick()
{
    if (refusedLinkBox())
        return;
    testWaitCounter_ = 1;
    try {
        if (!linkTested()) {
            RefreshConnectionSettings();
            linkRun_ = worker_->StartOperation(Operation::LinkTest, 0, 0);
            if (linkRun_ == 0) {
                showBusy();
                return;
            }
            statusPanel1->clear();
            waitForLinkTest();
        }
        if (linkTested() && !closing_) {
            writeMainDefaults();
            hide();
            if (para_)
                para_->showFromMainWindow(*this);
        }
    } catch (const std::exception&) {
    }
}

std::vector<std::string> MainWindow::searchablePorts() const
{
    // The port typed in the box first, then the ports that are there; not
    // the COM1 to COM30 the box falls back to: thirty missing ports would
    // only fill the list with failures.
    std::vector<std::string> ports;
    if (const std::string typed = cbb_Comname->currentText().trimmed().toStdString(); !typed.empty())
        ports.push_back(typed);
    for (const std::string& port : setup_.namedPorts)
        if (std::find(ports.begin(), ports.end(), port) == ports.end())
            ports.push_back(port);
    for (std::string& port : listSerialPorts(setup_.sysfsTtyFolder))
        if (std::find(ports.begin(), ports.end(), port) == ports.end())
            ports.push_back(std::move(port));
    return ports;
}

void MainWindow::btn_FindClick()
{
    if (findDialog_ || worker_->busy())
        return;
    auto plan = planWindowSearch(currentLinkControls(), searchablePorts(), worker_->usbDevices().items);
    if (const auto* refusal = std::get_if<std::string>(&plan)) {
        setup_.prompter->showMessage(MessageText(*refusal));
        return;
    }
    statusPanel0->clear();
    findDialog_ = new FindPrinterDialog(std::move(std::get<requests::SearchPlan>(plan)), setup_.programFolder,
                                        [this](const requests::FoundPrinter& printer) { useFoundPrinter(printer); },
                                        this);
    findDialog_->setAttribute(Qt::WA_DeleteOnClose);
    findDialog_->setFont(font());
    findDialog_->open();
}

void MainWindow::useFoundPrinter(const requests::FoundPrinter& printer)
{
    const LinkControls chosen = chooseFoundPrinter(currentLinkControls(), printer);
    cbb_Comname->setEditText(qt(chosen.comName));
    cbb_Comname->lineEdit()->setCursorPosition(0);
    cbb_DevBauRate->setEditText(qt(chosen.deviceSpeedText));
    edt_Ipaddress->setText(qt(chosen.ipAddress));
    edt_Port->setText(qt(chosen.portText));
    const int usb = cbb_UsbDeviceList->findText(qt(chosen.usbDeviceId), Qt::MatchExactly);
    if (usb >= 0)
        cbb_UsbDeviceList->setCurrentIndex(usb);
    else
        cbb_UsbDeviceList->setEditText(qt(chosen.usbDeviceId));
    // The link changed: it is tested anew before the parameter window opens.
    noteLinkTested(false);
    statusPanel0->setText(qt(MessageText("sFoundChosenMsg")));
}

void MainWindow::waitForLinkTest()
{
    QEventLoop loop;
    QTimer pause;
    pause.setInterval(50);
    connect(&pause, &QTimer::timeout, &loop, [&] {
        ++testWaitCounter_;
        if (testWaitCounter_ > 20 || linkTested())
            loop.quit();
    });
    linkWait_ = &loop;
    pause.start();
    loop.exec();
    linkWait_ = nullptr;
}

void MainWindow::writeMainDefaults()
{
    const std::string error =
        saveMainDefaults(joinPath(setup_.programFolder, kSettingsFileName),
                         edt_Ipaddress->text().toStdString(), languageIndex(), selectedLinkKind());
    if (!error.empty())
        statusPanel1->setText(qt(std::string(kSettingsFileName) + ": " + error));
}

// Every event runs on this thread; none reaches a window that is closing.
// The end of a run concerns the parameter window.
WorkerEvents MainWindow::makeWorkerEvents()
{
    QPointer<MainWindow> self(this);
    auto open = [self]() -> MainWindow* {
        MainWindow* window = self.data();
        return window && !window->closing_ ? window : nullptr;
    };
    WorkerEvents events;
    // Only the link test this window started decides whether the link is
    // tested: a late answer of an earlier test must not.
    events.linkFound = [open](const PrinterFound& found) {
        if (MainWindow* window = open(); window && found.run == window->linkRun_)
            window->onLinkFound();
    };
    events.linkFailed = [open](const WorkerFailure& failure) {
        if (MainWindow* window = open(); window && failure.run == window->linkRun_)
            window->onLinkFailed(failure);
    };
    events.status = [open](const StatusUpdate& update) {
        if (MainWindow* window = open(); window && update.panel == StatusPanel::Main)
            window->statusPanel0->setText(qt(update.text));
    };
    events.logNotSaved = [open](const std::string& reason) {
        if (MainWindow* window = open())
            window->statusPanel1->setText(qt(reason));
    };
    // Each byte of unsolicited data is one character.
    events.unsolicitedLine = [open](const std::string& line) {
        if (MainWindow* window = open())
            window->Memo1->appendPlainText(
                QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    };
    // Refreshed when a USB device arrives or is removed.
    events.usbDevicesChanged = [open](const UsbDeviceListing& listing) {
        if (MainWindow* window = open())
            window->showUsbDevices(listing);
    };
    return events;
}

void MainWindow::onLinkFound()
{
    noteLinkTested(true);
    if (linkWait_)
        linkWait_->quit();
    if (testWaitCounter_ < 0)
        setup_.prompter->showMessage(MessageText("sConnectOKstr"));
}

void MainWindow::onLinkFailed(const WorkerFailure& failure)
{
    noteLinkTested(false);
    if (linkWait_)
        linkWait_->quit();
    // What the worker knows of the cause (the port and the system's reason,
    // or a printer silent at that speed) replaces "Checking...", so the
    // general message below is not all the technician gets.
    std::string cause = failure.text;
    if (!failure.cause.empty() && failure.cause != failure.text)
        cause += cause.empty() ? failure.cause : " (" + failure.cause + ")";
    cause = EngineTextInLanguage(std::move(cause));
    statusPanel0->setText(qt(cause));
    statusPanel0->setToolTip(qt(cause));
    setup_.prompter->showMessage(MessageText("sConnectErrorstr"));
}

bool MainWindow::bootModeOn() const
{
    return linkState_ == LinkState::BootPolling;
}

LinkState MainWindow::testState() const
{
    return linkState_ == LinkState::BootPolling ? stateAfterBoot_ : linkState_;
}

void MainWindow::noteLinkTested(bool tested)
{
    (linkState_ == LinkState::BootPolling ? stateAfterBoot_ : linkState_) =
        tested ? LinkState::Tested : LinkState::Closed;
}

QFont MainWindow::programFont() const
{
    return font();
}

void MainWindow::returnFromParameterWindow()
{
    noteLinkTested(false);
    show();
}

void MainWindow::setLinkControlsEnabled(bool enabled)
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{GroupBox1, RadioButton1, RadioButton2, RadioButton3, cbb_Comname,
                                         cbb_DevBauRate, cbb_Check, cbb_TranBauRate, edt_Ipaddress, edt_Port,
                                         cbb_UsbDeviceList, cbb_Lpt, cbb_Language, btn_Test, btn_Find,
                                         btn_SetPara})
        control->setEnabled(enabled);
    // The parallel port is never offered.
    RadioButton4->setEnabled(false);
}

void MainWindow::but_bootInClick()
{
    if (refusedLinkBox())
        return;
    try {
        RefreshConnectionSettings();
    } catch (const EConvertError& failure) {
        setup_.prompter->showMessage(InputRefusalText(failure));
        return;
    }
    setLinkControlsEnabled(false);
    if (linkState_ != LinkState::BootPolling) {
        stateAfterBoot_ = linkState_;
        linkState_ = LinkState::BootPolling;
    }
    bootHandshake_->begin();
    Timer1->start();
    // The handshake may poll for minutes: the window says it is at work.
    statusPanel0->setText(qt(MessageText("sBootPollingMsg")));
    bootBusy->setVisible(true);
}

void MainWindow::but_bootOutClick()
{
    // A handshake still running is ended at once, not left to time out.
    if (bootModeOn())
        bootHandshake_->cancel();
    leaveBootMode();
}

void MainWindow::leaveBootMode()
{
    setLinkControlsEnabled(true);
    Timer1->stop();
    bootBusy->setVisible(false);
    statusPanel0->clear();
    if (linkState_ == LinkState::BootPolling)
        linkState_ = stateAfterBoot_;
    worker_->setRawReceiveMode(false);
}

void MainWindow::Timer1Timer()
{
    if (bootHandshake_->round() != requests::BootRound::Answered)
        return;
    leaveBootMode();
    requests::CloseBootLink(*worker_);
    statusPanel0->setText(qt(MessageText("sLoaderAnsweredMsg")));
}

}  // namespace pst::app
