// The main window and the parameter window's frame, driven as a user would:
// clicks on the offscreen platform, message boxes read from a recording
// prompter, link tests against the virtual printer on a pseudo-terminal.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "app/window_test_support.h"
#include "app/drop_down_combo_box.h"
#include "app/find_printer_dialog.h"
#include "texts/message_texts.h"
#include "desktop/program_windows.h"
#include "platform/manual_reset_event.h"
#include "transport/comm.h"
#include "virtual_printer.h"

namespace fs = std::filesystem;
using namespace pst;
using namespace pst::app;
using namespace pst::desktop;

using pst::test::hasChineseCharacter;
using pst::test::qs;
using pst::test::readText;
using pst::test::RecordingPrompter;

namespace {

constexpr int kLinkTimeoutMs = 20000;

}  // namespace

class MainWindowTest : public QObject, protected pst::test::WindowFixture {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartUsesTheDefaultsAndWritesNothing();
    void tranModeTwoSelectsUsb();
    void tranModeSevenChangesNothing();
    void languageOutsideTheListTranslatesWithChinese();
    void withoutAStoredLanguageTheEnvironmentDecides();
    void englishThenChineseKeepsFlowControlAndMsg24English();
    void qtsOwnButtonsFollowTheLanguage();
    void ipCaptionInTheLanguageFileReplacesTheAddressOnEveryShow();
    void linkTestFromTheTestButtonShowsSuccess();
    void linkTestFromSetParametersOpensTheParameterWindowSilently();
    void failedTestShowsTheErrorFromEitherButton();
    void speedOutsideTheListIsRefusedAndStartsNothing();
    void speedTheWorkerStoresReachesItsBoxAndATypoStays();
    void busyWorkerIsShownNotQueued();
    void parallelStaysDisabledAfterBootMode();
    void leavingBootModeStopsTheHandshakeAndTheLinkTestWorks();
    void closingDuringBootModeEndsAtOnce();
    void findPrinterFillsTheLinkOfThePrinterFound();
    void closingTheSearchStopsItAtOnce();
    void portListFallsBackToCom1ToCom30();
    void portListShowsTheMachinesPortsOnEveryDropDown();
    void usbListShowsOnlyThePrinters();
    void unsolicitedDataGoToMemo1();

private:
    std::unique_ptr<ProgramWindows> open(std::vector<std::string> languageFolders = {PST_LANG_DIR});
    void writeFile(const fs::path& path, const std::string& text);
    void aimAtPrinter(MainWindow& main);
};

void MainWindowTest::init()
{
    setUpWindowTest("pst-window-");
}

void MainWindowTest::cleanup()
{
    // A case that sets the language's variable must not pass it on.
    qunsetenv("LANG");
    tearDownWindowTest();
}

std::unique_ptr<ProgramWindows> MainWindowTest::open(std::vector<std::string> languageFolders)
{
    return openTestWindows(std::move(languageFolders));
}

void MainWindowTest::writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void MainWindowTest::aimAtPrinter(MainWindow& main)
{
    main.cbb_Comname->setEditText(QString::fromStdString(printer->devicePath()));
}

void MainWindowTest::firstStartUsesTheDefaultsAndWritesNothing()
{
    auto windows = open();
    MainWindow& main = windows->main();
    QCOMPARE(main.windowTitle(), QStringLiteral("Pennafor Setting Tool V1.0"));
    QCOMPARE(main.edt_Ipaddress->text(), QStringLiteral("192.168.1.87"));
    QCOMPARE(main.edt_Port->text(), QStringLiteral("5100"));
    QCOMPARE(main.cbb_Language->currentIndex(), 0);
    QCOMPARE(main.cbb_Language->currentText(), qs("中文"));
    QVERIFY(main.RadioButton1->isChecked());
    QVERIFY(!main.RadioButton4->isEnabled());
    QCOMPARE(main.lbl_TranMsg->text(), qs("当前选择串口"));
    QCOMPARE(main.cbb_DevBauRate->currentText(), QStringLiteral("9600"));
    QCOMPARE(main.cbb_TranBauRate->currentText(), QStringLiteral("115200"));
    QCOMPARE(main.cbb_Check->currentText(), QStringLiteral("NONE"));
    QCOMPARE(main.btn_Test->text(), qs("测试通讯"));
    QVERIFY(main.Memo1->isHidden());
    QVERIFY(!main.bootModeOn());
    QCOMPARE(windows->para().windowTitle(), QStringLiteral("Pennafor Setting Tool"));
    QVERIFY(windows->para().isHidden());

    main.close();
    windows.reset();
    QVERIFY(!fs::exists(dataDir / "sysconfig.ini"));
}

void MainWindowTest::tranModeTwoSelectsUsb()
{
    writeFile(dataDir / "sysconfig.ini", "[MainDefault]\r\nTranMode=2\r\n");
    auto windows = open();
    MainWindow& main = windows->main();
    QVERIFY(main.RadioButton3->isChecked());
    QCOMPARE(main.lbl_TranMsg->text(), qs("当前选择USB"));
    QCOMPARE(main.connectionSettings().get().kind, LinkKind::Usb);
}

void MainWindowTest::tranModeSevenChangesNothing()
{
    writeFile(dataDir / "sysconfig.ini", "[MainDefault]\nTranMode=7\nIP Address=10.1.2.3\n");
    auto windows = open();
    MainWindow& main = windows->main();
    QVERIFY(main.RadioButton1->isChecked());
    QCOMPARE(main.lbl_TranMsg->text(), qs("当前选择串口"));
    QCOMPARE(main.edt_Ipaddress->text(), QStringLiteral("10.1.2.3"));
}

void MainWindowTest::languageOutsideTheListTranslatesWithChinese()
{
    writeFile(dataDir / "sysconfig.ini", "[MainDefault]\nLanguage=5\n");
    auto windows = open();
    MainWindow& main = windows->main();
    QCOMPARE(main.languageIndex(), -1);
    QCOMPARE(main.btn_Test->text(), qs("测试通讯"));
    QCOMPARE(main.lbl_TranMsg->text(), qs("当前选择串口"));
}

void MainWindowTest::withoutAStoredLanguageTheEnvironmentDecides()
{
    // LANG decides only when the two before it are not set.
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", "en_US.UTF-8");
    {
        auto windows = open();
        QCOMPARE(windows->main().languageIndex(), 1);
        QCOMPARE(windows->main().btn_Test->text(), QStringLiteral("Test communication"));
    }
    // A stored Chinese is a choice, not an absence.
    writeFile(dataDir / "sysconfig.ini", "[MainDefault]\nLanguage=0\n");
    {
        auto windows = open();
        QCOMPARE(windows->main().languageIndex(), 0);
        QCOMPARE(windows->main().btn_Test->text(), qs("测试通讯"));
    }
    qunsetenv("LANG");
}

void MainWindowTest::englishThenChineseKeepsFlowControlAndMsg24English()
{
    auto windows = open();
    MainWindow& main = windows->main();
    ParamWindow& para = windows->para();

    main.cbb_Language->setCurrentIndex(1);
    emit main.cbb_Language->activated(1);
    QCOMPARE(main.btn_Test->text(), QStringLiteral("Test communication"));
    QCOMPARE(main.lbl_TranMsg->text(), QStringLiteral("Current choice: serial port"));
    QCOMPARE(para.PageControl1->tabText(0), QStringLiteral("Basic settings"));
    QCOMPARE(MessageText("sConnectOKstr"), std::string("Connection succeeded"));
    // Every text the user can see is English now.
    WidgetTranslationView& view = main.translationView();
    for (std::size_t i = 0; i < view.controlCount(); ++i)
        QVERIFY2(!hasChineseCharacter(QString::fromStdString(view.controlText(i))),
                 view.controlName(i).c_str());
    for (int tab = 0; tab < para.PageControl1->count(); ++tab)
        QVERIFY(!hasChineseCharacter(para.PageControl1->tabText(tab)));
    // A link-kind click shows the English text.
    main.RadioButton2->click();
    QCOMPARE(main.lbl_TranMsg->text(), QStringLiteral("Current choice: Ethernet"));
    main.RadioButton1->click();

    main.cbb_Language->setCurrentIndex(0);
    emit main.cbb_Language->activated(0);
    QCOMPARE(main.btn_Test->text(), qs("测试通讯"));
    QCOMPARE(main.lbl_TranMsg->text(), qs("当前选择串口"));
    QCOMPARE(MessageText("sConnectOKstr"), std::string("连接成功"));
    QCOMPARE(ItemList("Flow control"),
             (std::vector<std::string>{"Software flow control", "Hardware flow control"}));
    QCOMPARE(MessageText("sMsg24"), std::string("The file does not exist"));
}

void MainWindowTest::qtsOwnButtonsFollowTheLanguage()
{
    const auto buttonTexts = [] {
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::Ok);
        return box.button(QMessageBox::Yes)->text() + QLatin1Char('|') + box.button(QMessageBox::Ok)->text();
    };
    auto windows = open();
    MainWindow& main = windows->main();
    QVERIFY2(hasChineseCharacter(buttonTexts()), qPrintable(buttonTexts()));
    main.cbb_Language->setCurrentIndex(1);
    emit main.cbb_Language->activated(1);
    QCOMPARE(buttonTexts(), QStringLiteral("&Yes|OK"));
    main.cbb_Language->setCurrentIndex(0);
    emit main.cbb_Language->activated(0);
    QVERIFY2(hasChineseCharacter(buttonTexts()), qPrintable(buttonTexts()));
}

void MainWindowTest::ipCaptionInTheLanguageFileReplacesTheAddressOnEveryShow()
{
    writeFile(dataDir / "sysconfig.ini", "[MainDefault]\nIP Address=192.168.5.5\n");
    writeFile(dataDir / "Chinese.lng", "[FrmMain]\nedt_Ipaddress.Caption=10.9.8.7\n");
    auto windows = open({dataDir.string()});
    MainWindow& main = windows->main();
    QCOMPARE(main.edt_Ipaddress->text(), QStringLiteral("10.9.8.7"));

    main.hide();
    main.edt_Ipaddress->setText(QStringLiteral("1.1.1.1"));
    main.show();
    QCOMPARE(main.edt_Ipaddress->text(), QStringLiteral("10.9.8.7"));
}

void MainWindowTest::linkTestFromTheTestButtonShowsSuccess()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    MainWindow& main = windows->main();
    aimAtPrinter(main);

    main.btn_Test->click();
    QTRY_VERIFY_WITH_TIMEOUT(!prompter.messages.empty(), kLinkTimeoutMs);
    QCOMPARE(prompter.messages, std::vector<std::string>{"连接成功"});
    QVERIFY(main.linkTested());
    QTRY_COMPARE_WITH_TIMEOUT(main.statusPanel0->text(),
                              QString::fromStdString(printer->devicePath() + "Found"), kLinkTimeoutMs);
    QVERIFY(windows->para().isHidden());
    QVERIFY(!fs::exists(dataDir / "sysconfig.ini"));

    // Another link kind must be tested anew.
    main.RadioButton1->click();
    QVERIFY(main.linkTested());
    main.RadioButton2->click();
    QVERIFY(!main.linkTested());
}

void MainWindowTest::linkTestFromSetParametersOpensTheParameterWindowSilently()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    MainWindow& main = windows->main();
    ParamWindow& para = windows->para();
    aimAtPrinter(main);
    main.edt_Ipaddress->setText(QStringLiteral("10.0.0.42"));

    main.btn_SetPara->click();
    // A slow machine may finish the test after the one-second wait: then
    // the flag is set silently and the next click opens the window at once.
    QTRY_VERIFY_WITH_TIMEOUT(main.linkTested() || para.isVisible(), kLinkTimeoutMs);
    if (!para.isVisible())
        main.btn_SetPara->click();
    QVERIFY(para.isVisible());
    QVERIFY(main.isHidden());
    QVERIFY(prompter.messages.empty());
    QCOMPARE(main.worker().eventsObserver(), para.workerEvents());
    const std::string settings = readText(dataDir / "sysconfig.ini");
    QVERIFY(settings.find("IP Address=10.0.0.42") != std::string::npos);
    QVERIFY(settings.find("Language=0") != std::string::npos);
    QVERIFY(settings.find("TranMode=0") != std::string::npos);

    // Closing hands everything back: target, flag, the main window (shown
    // anew, so the stored address is read again).
    main.edt_Ipaddress->setText(QStringLiteral("changed"));
    para.close();
    QVERIFY(main.isVisible());
    QVERIFY(!main.linkTested());
    QCOMPARE(main.worker().eventsObserver(), main.workerEvents());
    QCOMPARE(main.edt_Ipaddress->text(), QStringLiteral("10.0.0.42"));
}

void MainWindowTest::failedTestShowsTheErrorFromEitherButton()
{
    auto windows = open();
    MainWindow& main = windows->main();
    main.cbb_Comname->setEditText(QString::fromStdString((dataDir / "no-such-port").string()));

    main.btn_Test->click();
    QTRY_COMPARE_WITH_TIMEOUT(prompter.messages.size(), std::size_t{1}, kLinkTimeoutMs);
    QCOMPARE(prompter.messages[0], std::string("通讯失败，请选择正确的端口和波特率"));
    QTRY_VERIFY(!main.worker().busy());
    // The cause the worker knows stands in the status bar, naming the port,
    // with the fixed texts in the window's language and the system's own
    // reason as it came.
    const QString cause = main.statusPanel0->text();
    QVERIFY2(cause.startsWith(qs("连接失败 (打开串口出错 (")), qPrintable(cause));
    QVERIFY2(cause.contains(QStringLiteral("no-such-port: ")), qPrintable(cause));
#ifndef _WIN32
    QVERIFY2(cause.contains(QStringLiteral("no-such-port: No such file or directory")), qPrintable(cause));
#endif

    main.btn_SetPara->click();
    QTRY_COMPARE_WITH_TIMEOUT(prompter.messages.size(), std::size_t{2}, kLinkTimeoutMs);
    QCOMPARE(prompter.messages[1], std::string("通讯失败，请选择正确的端口和波特率"));
    QVERIFY(!main.linkTested());
    QVERIFY(windows->para().isHidden());
    QVERIFY(!fs::exists(dataDir / "sysconfig.ini"));
}

void MainWindowTest::speedOutsideTheListIsRefusedAndStartsNothing()
{
    auto windows = open();
    MainWindow& main = windows->main();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    // Once it "connected", and the switch back sent speed code 0 (9600).
    main.cbb_DevBauRate->setEditText(QStringLiteral("12345"));
    const std::string refusal = "波特率：请选择以下速度之一：1200 2400 4800 9600 19200 38400 57600 115200 230400";

    main.btn_Test->click();
    QCOMPARE(prompter.messages, std::vector<std::string>{refusal});
    QTRY_VERIFY(main.cbb_DevBauRate->hasFocus());
    main.but_bootIn->click();
    main.btn_SetPara->click();
    QCOMPARE(prompter.messages, (std::vector<std::string>{refusal, refusal, refusal}));
    QVERIFY(!main.worker().busy());
    QVERIFY(!main.bootModeOn());
    QVERIFY(main.btn_Test->isEnabled());
    QVERIFY(windows->para().isHidden());

    main.cbb_DevBauRate->setEditText(QStringLiteral("9600"));
    main.cbb_TranBauRate->setEditText(QStringLiteral("11520O"));
    main.btn_Test->click();
    QCOMPARE(prompter.messages.back(),
             std::string("传输波特率：请选择以下速度之一：1200 2400 4800 9600 19200 38400 57600 115200 230400"));
    QVERIFY(!main.worker().busy());
}

void MainWindowTest::speedTheWorkerStoresReachesItsBoxAndATypoStays()
{
    auto windows = open();
    MainWindow& main = windows->main();
    // The worker stores the speed it left the printer at from its own thread.
    const auto workerStores = [&](std::uint32_t speed) {
        std::thread([&] {
            main.connectionSettings().update([&](ConnectionSettings& s) { s.deviceSpeed = speed; });
        }).join();
    };
    workerStores(38400);
    QTRY_COMPARE(main.cbb_DevBauRate->currentText(), QStringLiteral("38400"));

    // The window's own changes are no news to its boxes: a typo being
    // corrected is not replaced by the last speed that was a number.
    main.cbb_TranBauRate->setEditText(QStringLiteral("11520O"));
    main.RadioButton2->click();
    workerStores(19200);
    QTRY_COMPARE(main.cbb_DevBauRate->currentText(), QStringLiteral("19200"));
    QCOMPARE(main.cbb_TranBauRate->currentText(), QStringLiteral("11520O"));
    QCOMPARE(main.connectionSettings().get().transferSpeed, 115200u);
}

void MainWindowTest::busyWorkerIsShownNotQueued()
{
    auto windows = open();
    MainWindow& main = windows->main();
    ManualResetEvent release;
    QVERIFY(main.worker().startCustom([&](TCommThread&) { release.wait(std::chrono::seconds(10)); }));

    main.btn_Test->click();
    QCOMPARE(main.statusPanel0->text(), qs("打印机正忙，请等待当前操作结束"));
    release.set();
    QTRY_VERIFY(!main.worker().busy());
    QVERIFY(prompter.messages.empty());
}

void MainWindowTest::parallelStaysDisabledAfterBootMode()
{
    auto windows = open();
    MainWindow& main = windows->main();

    main.cbb_Comname->setEditText(QString::fromStdString((dataDir / "no-such-port").string()));
    main.but_bootIn->click();
    QVERIFY(main.bootModeOn());
    // It shows that it is at work for as long as it looks.
    QVERIFY(!main.bootBusy->isHidden());
    QCOMPARE(main.statusPanel0->text(), qs("正在查找打印机的引导程序…"));
    for (QWidget* control :
         std::initializer_list<QWidget*>{main.RadioButton1, main.cbb_Comname, main.cbb_Language,
                                         main.btn_Test, main.btn_SetPara, main.edt_Port})
        QVERIFY(!control->isEnabled());
    // The timer asks for the boot handshake, which fails cleanly on a port
    // that is not there; the window stays in boot mode.
    QTRY_COMPARE_WITH_TIMEOUT(main.worker().status().error(), std::string("Error opening serial port"), 5000);
    QVERIFY(main.bootModeOn());
    QVERIFY(prompter.messages.empty());

    main.but_bootOut->click();
    QVERIFY(!main.bootModeOn());
    QVERIFY(main.bootBusy->isHidden());
    for (QWidget* control :
         std::initializer_list<QWidget*>{main.RadioButton1, main.RadioButton2, main.cbb_Comname,
                                         main.cbb_Language, main.btn_Test, main.btn_SetPara})
        QVERIFY(control->isEnabled());
    QVERIFY(!main.RadioButton4->isEnabled());

    // Once the loader has answered, the next tick leaves boot mode by itself
    // and marks the port closed.
    main.but_bootIn->click();
    main.worker().setPortOpen(true);
    main.worker().setBootReplyText("151");
    QTRY_VERIFY_WITH_TIMEOUT(!main.bootModeOn(), 5000);
    QVERIFY(main.bootBusy->isHidden());
    QCOMPARE(main.statusPanel0->text(), qs("打印机的引导程序已应答"));
    QCOMPARE(main.worker().bootReplyText(), std::string());
    QVERIFY(!main.worker().portOpen());
    for (QWidget* control :
         std::initializer_list<QWidget*>{main.RadioButton1, main.RadioButton2, main.cbb_Comname,
                                         main.cbb_Language, main.btn_Test, main.btn_SetPara})
        QVERIFY(control->isEnabled());
    QVERIFY(!main.RadioButton4->isEnabled());
    QVERIFY(!main.worker().rawReceiveMode());
}

void MainWindowTest::leavingBootModeStopsTheHandshakeAndTheLinkTestWorks()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    sim::VirtualPrinter silent(
        {.ptyLink = (dataDir / "silent").string(), .fault = {.mode = sim::FaultMode::Silent}});
    silent.start();
    startPrinter();
    auto windows = open();
    MainWindow& main = windows->main();
    main.cbb_Comname->setEditText(QString::fromStdString((dataDir / "silent").string()));

    main.but_bootIn->click();
    QTRY_VERIFY_WITH_TIMEOUT(main.worker().busy(), 5000);
    main.but_bootOut->click();
    // The handshake ends at once, not when its own time is up.
    QTRY_VERIFY_WITH_TIMEOUT(!main.worker().busy(), 1000);

    aimAtPrinter(main);
    main.btn_Test->click();
    QTRY_VERIFY_WITH_TIMEOUT(!prompter.messages.empty(), kLinkTimeoutMs);
    QCOMPARE(prompter.messages, std::vector<std::string>{"连接成功"});
    QVERIFY(main.linkTested());
}

void MainWindowTest::closingDuringBootModeEndsAtOnce()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    sim::VirtualPrinter silent(
        {.ptyLink = (dataDir / "silent").string(), .fault = {.mode = sim::FaultMode::Silent}});
    silent.start();
    auto windows = open();
    MainWindow& main = windows->main();
    main.cbb_Comname->setEditText(QString::fromStdString((dataDir / "silent").string()));
    main.but_bootIn->click();
    QTRY_VERIFY_WITH_TIMEOUT(main.worker().busy(), 5000);

    QElapsedTimer clock;
    clock.start();
    main.close();
    windows.reset();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

void MainWindowTest::findPrinterFillsTheLinkOfThePrinterFound()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    sim::VirtualPrinter atOtherSpeed({.speed = 38400});
    atOtherSpeed.start();
    auto windows = open();
    MainWindow& main = windows->main();

    // A network search needs an address to take the block from.
    main.RadioButton2->click();
    main.edt_Ipaddress->setText(QStringLiteral("192.168.1.300"));
    main.btn_Find->click();
    QCOMPARE(prompter.messages, std::vector<std::string>{"输入的IP有错!"});
    QVERIFY(!main.findDialog());
    prompter.messages.clear();

    main.RadioButton1->click();
    main.cbb_Comname->setEditText(QString::fromStdString(atOtherSpeed.devicePath()));
    QCOMPARE(main.cbb_DevBauRate->currentText(), QStringLiteral("9600"));
    main.btn_Find->click();
    FindPrinterDialog* dialog = main.findDialog();
    QVERIFY(dialog);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->searching(), 60000);
    QCOMPARE(dialog->printerList->count(), 1);
    QVERIFY(dialog->printerList->item(0)->text().contains(QStringLiteral("38400")));
    QCOMPARE(dialog->statusLabel->text(), qs("找到 1 台打印机"));
    QVERIFY(dialog->useButton->isEnabled());
    dialog->useButton->click();
    QTRY_VERIFY(!main.findDialog());

    QCOMPARE(main.cbb_Comname->currentText(), QString::fromStdString(atOtherSpeed.devicePath()));
    QCOMPARE(main.cbb_DevBauRate->currentText(), QStringLiteral("38400"));
    QVERIFY(prompter.messages.empty());
    main.btn_Test->click();
    QTRY_VERIFY_WITH_TIMEOUT(!prompter.messages.empty(), kLinkTimeoutMs);
    QCOMPARE(prompter.messages, std::vector<std::string>{"连接成功"});
}

void MainWindowTest::closingTheSearchStopsItAtOnce()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    sim::VirtualPrinter silent({.fault = {.mode = sim::FaultMode::Silent}});
    silent.start();
    auto windows = open();
    MainWindow& main = windows->main();
    main.cbb_Comname->setEditText(QString::fromStdString(silent.devicePath()));
    main.btn_Find->click();
    QPointer<FindPrinterDialog> dialog = main.findDialog();
    QVERIFY(dialog);
    QTRY_VERIFY_WITH_TIMEOUT(dialog->progressBar->maximum() > 0, 5000);

    QElapsedTimer clock;
    clock.start();
    dialog->reject();
    QTRY_VERIFY(!dialog);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(main.btn_Test->isEnabled());
}

void MainWindowTest::portListFallsBackToCom1ToCom30()
{
    PST_LINUX_ONLY("Windows lists the registry's ports (Wine has COM1)");
    auto windows = open();
    MainWindow& main = windows->main();
    QCOMPARE(main.cbb_Comname->count(), 30);
    QCOMPARE(main.cbb_Comname->itemText(0), QStringLiteral("COM1"));
    QCOMPARE(main.cbb_Comname->itemText(29), QStringLiteral("COM30"));
    QCOMPARE(main.cbb_Comname->currentIndex(), -1);
    QCOMPARE(main.cbb_Comname->currentText(), QString());
}

void MainWindowTest::portListShowsTheMachinesPortsOnEveryDropDown()
{
    PST_LINUX_ONLY("Windows lists the registry's ports, not sysfs");
    auto addPort = [&](const std::string& name) { fs::create_directories(ttyDir / name / "device"); };
    addPort("ttyUSB0");
    auto windows = open();
    MainWindow& main = windows->main();
    QCOMPARE(main.cbb_Comname->count(), 1);
    QCOMPARE(main.cbb_Comname->currentText(), QStringLiteral("/dev/ttyUSB0"));

    addPort("ttyACM0");
    main.cbb_Comname->showPopup();
    main.cbb_Comname->hidePopup();
    QCOMPARE(main.cbb_Comname->count(), 2);
    QCOMPARE(main.cbb_Comname->itemText(0), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(main.cbb_Comname->currentIndex(), 0);
}

void MainWindowTest::usbListShowsOnlyThePrinters()
{
    PST_LINUX_ONLY("Windows lists USB printers through SetupAPI, not sysfs");
    auto addDevice = [&](const std::string& position, const std::string& vendor, const std::string& product) {
        const fs::path device = usbDir / "bus" / "usb" / "devices" / position;
        writeFile(device / "idVendor", vendor + "\n");
        writeFile(device / "idProduct", product + "\n");
    };
    addDevice("1-2", "1a2b", "0001");
    addDevice("1-3", "1234", "811e");
    auto windows = open();
    MainWindow& main = windows->main();
    QCOMPARE(main.cbb_UsbDeviceList->count(), 1);
    QCOMPARE(main.cbb_UsbDeviceList->currentText(), QStringLiteral("VID_1234&PID_811E"));

    main.RadioButton3->click();
    main.btn_Test->click();
    QCOMPARE(main.connectionSettings().get().usbDeviceId, std::string("VID_1234&PID_811E"));
    QTRY_VERIFY_WITH_TIMEOUT(!main.worker().busy(), kLinkTimeoutMs);
}

void MainWindowTest::unsolicitedDataGoToMemo1()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    MainWindow& main = windows->main();
    TComm& comm = main.worker().comm();
    comm.setCommName(printer->devicePath());
    comm.setBaudRate(9600);
    comm.OpenPort();

    const std::string text = "PAPER OUT\r\nCOVER";
    printer->sendUnsolicited({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    QTRY_VERIFY_WITH_TIMEOUT(main.Memo1->toPlainText().contains(QStringLiteral("COVER")), 5000);
    QCOMPARE(main.Memo1->toPlainText(), QStringLiteral("Memo1\nPAPER OUT\nCOVER"));
    comm.ClosePort();
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
