// The parameter window driven as a user would: clicks on the offscreen
// platform, message boxes read from a recording prompter, every "设置"
// button against the virtual printer on a pseudo-terminal.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <unistd.h>

#include "app/window_test_support.h"
#include "app/drop_down_combo_box.h"
#include "texts/message_texts.h"
#include "desktop/program_windows.h"
#include "para/basic_page.h"
#include "para/black_mark_page.h"
#include "para/bluetooth_page.h"
#include "para/download_page.h"
#include "para/infrared_page.h"
#include "para/network_page.h"
#include "para/product_page.h"
#include "para/wifi_page.h"
#include "platform/manual_reset_event.h"
#include "requests/profile.h"
#include "logo_output.h"
#include "virtual_printer.h"

namespace fs = std::filesystem;
using namespace pst;
using namespace pst::app;
using namespace pst::desktop;
using namespace pst::para;

using pst::test::hasChineseCharacter;
using pst::test::qs;
using pst::test::readText;
using pst::test::RecordingPrompter;

namespace {

// The recycling-time row is laid out from its group's description: found
// by the names the description gives.
SpinEdit* recyclingEdit(QWidget& para)
{
    return para.findChild<SpinEdit*>(QStringLiteral("edt_RptTime"));
}

QPushButton* recyclingButton(QWidget& para)
{
    return para.findChild<QPushButton*>(QStringLiteral("btn_SetRptTime"));
}

// Answers the file dialogs with what the test queued, at once.
class QueuedFileChooser : public FileChooser {
public:
    QStringList chooseToOpen(QWidget*, const QString& title, const QString& filterList, int filterIndex,
                             bool several) override
    {
        titles.push_back(title);
        filters.push_back(filterList);
        filterIndexes.push_back(filterIndex);
        QStringList answer = opens.empty() ? QStringList() : opens.front();
        if (!opens.empty())
            opens.erase(opens.begin());
        if (!several && answer.size() > 1)
            answer = answer.mid(0, 1);
        return answer;
    }
    QString chooseToSave(QWidget*, const QString&) override { return savePath; }

    std::vector<QStringList> opens;
    QString savePath;
    std::vector<QString> titles;
    std::vector<QString> filters;
    std::vector<int> filterIndexes;
};

constexpr int kPrinterTimeoutMs = 20000;

// Whether the state JSON holds `"key": value` (blanks around the colon
// free).
bool jsonHas(const std::string& json, const std::string& key, const std::string& value)
{
    for (std::size_t at = json.find("\"" + key + "\""); at != std::string::npos;
         at = json.find("\"" + key + "\"", at + 1)) {
        std::size_t v = json.find(':', at);
        if (v == std::string::npos)
            return false;
        v = json.find_first_not_of(" \t\r\n", v + 1);
        if (v != std::string::npos && json.compare(v, value.size(), value) == 0)
            return true;
    }
    return false;
}

// What the worker delivers to the window: an announced status text (the
// window reads the board) and the end of a failed run.
}  // namespace

class ParamWindowTest : public QObject, protected pst::test::WindowFixture {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstShowShowsTheDefaultsAndCloseWritesAllKeysInOrder();
    void recordFromTheOtherLanguageKeepsItsChoices();
    void radioPairKeepsItsStateForAnOddIndex();
    void unknownBaudRateShowsNothingAndItsButtonDoesNothing();
    void serialNumberStepsAfterDeviceParametersAreSet();
    void emptyProductNameIsRefused();
    void typedNumbersAreRefusedNamingTheirFieldBeforeAnythingIsSent();
    void addressEditsAreCheckedOnLeaving();
    void networkPageRefusesBadInput();
    void enableRulesFollowTheRadioButtons();
    void downloadPageKeepsItsValuesAndListRules();
    void downloadPageDownloadsPrintsAndReadsBack();
    void logoChoicesShowInThumbnailsAndDownloadsAreConfirmedVerifiedAndListed();
    void busyWorkerIsShownAndNothingIsStarted();
    void aLateEndBelongsToItsOwnRunAndAClickBeforeItWaits();
    void stopEndsADownloadAndThePrinterIsBackAtItsSpeed();
    void closingDuringADownloadAsksOnceAndEndsPromptly();
    void aButtonWithNothingToSendSaysSo();
    void failedOperationShowsItsTexts();
    void basicPageSetsThePrinter();
    void productPageSetsThePrinter();
    void bluetoothPageSetsThePrinter();
    void wifiPageSetsThePrinter();
    void networkPageSetsThePrinter();
    void infraredPageSetsThePrinter();
    void blackMarkPageSetsThePrinter();
    void valuesSurviveARestart();
    void aSerialNumberSavedMeanwhileIsNotPutBack();
    void everyControlHasAnAccessibleName();
    void aClickThatLeavesABadAddressStillActs();
    void messagesComeInTheEnglishWindowsLanguage();
    void profilesExportInTheWindowsLanguageAndImportWhatTheyHold();

private:
    std::unique_ptr<ProgramWindows> open();
    // Shows the parameter window with the main window aimed at the printer,
    // as the set-parameters button does after a link test.
    ParamWindow& showPara(ProgramWindows& windows);
    void writeSettings(const std::string& text);
    bool waitForPrinter(const std::function<bool(const sim::PrinterSettings&)>& ready);
    bool waitForState(const std::function<bool(const sim::PrinterState&)>& ready);
    void click(ProgramWindows& windows, QPushButton* button);
    // A font download that would take some ten seconds at the wire's pace,
    // under way: its first blocks are through.
    static constexpr int kLongFontBlocks = 400;
    ParamWindow& startLongFontDownload(ProgramWindows& windows);
    // Frames and raw commands the printer has received so far.
    std::pair<std::uint64_t, std::uint64_t> printerTraffic() const;
};

void ParamWindowTest::init()
{
    setUpWindowTest("pst-para-");
}

void ParamWindowTest::cleanup()
{
    tearDownWindowTest();
}

std::unique_ptr<ProgramWindows> ParamWindowTest::open()
{
    return openTestWindows({PST_LANG_DIR});
}

ParamWindow& ParamWindowTest::showPara(ProgramWindows& windows)
{
    MainWindow& main = windows.main();
    ParamWindow& para = windows.para();
    if (!printer) {
        main.RefreshConnectionSettings();
        main.hide();
        para.showFromMainWindow(main);
        return para;
    }
    // With a printer, the way a user gets there: a link test first, which
    // also leaves the serial component aimed at the printer.
    main.cbb_Comname->setEditText(QString::fromStdString(printer->devicePath()));
    main.btn_SetPara->click();
    // A slow machine may finish the test after the one-second wait: then
    // the next click opens the window at once.
    QElapsedTimer clock;
    clock.start();
    while (!para.isVisible() && !main.linkTested() && clock.elapsed() < kPrinterTimeoutMs)
        QTest::qWait(20);
    if (!para.isVisible())
        main.btn_SetPara->click();
    return para;
}

void ParamWindowTest::writeSettings(const std::string& text)
{
    std::ofstream(dataDir / "sysconfig.ini", std::ios::binary) << text;
}

bool ParamWindowTest::waitForPrinter(const std::function<bool(const sim::PrinterSettings&)>& ready)
{
    return waitForState([&](const sim::PrinterState& state) { return ready(state.settings); });
}

bool ParamWindowTest::waitForState(const std::function<bool(const sim::PrinterState&)>& ready)
{
    // Replies are assembled on this thread: keep it turning while waiting.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kPrinterTimeoutMs) {
        if (printer->waitFor(ready, 20))
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return false;
}

std::pair<std::uint64_t, std::uint64_t> ParamWindowTest::printerTraffic() const
{
    std::pair<std::uint64_t, std::uint64_t> traffic;
    printer->waitFor(
        [&](const sim::PrinterState& s) {
            traffic = {s.framesReceived, s.rawCommandsReceived};
            return true;
        },
        0);
    return traffic;
}

void ParamWindowTest::click(ProgramWindows& windows, QPushButton* button)
{
    // The run this window started last has been heard to end, too.
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main().worker().busy() && !windows.para().runGoing(), kPrinterTimeoutMs);
    button->click();
}

ParamWindow& ParamWindowTest::startLongFontDownload(ProgramWindows& windows)
{
    printer = std::make_unique<sim::VirtualPrinter>(sim::SimOptions{.pace = true});
    printer->start();
    windows.main().cbb_TranBauRate->setEditText(QStringLiteral("115200"));
    ParamWindow& para = showPara(windows);
    DownloadPage& page = *para.TabSheet6;
    para.PageControl1->setCurrentWidget(para.TabSheet6);
    std::ofstream(dataDir / "font.bin", std::ios::binary) << std::string(kLongFontBlocks * 256, 'F');
    page.edt_FontFile->setText(QString::fromStdString((dataDir / "font.bin").string()));
    page.edt_FontAddress->setText(QStringLiteral("20000"));
    click(windows, page.btn_UpdateFont);
    QElapsedTimer clock;
    clock.start();
    while (para.transferBar->value() <= 0 && clock.elapsed() < kPrinterTimeoutMs)
        QTest::qWait(10);
    return para;
}

void ParamWindowTest::firstShowShowsTheDefaultsAndCloseWritesAllKeysInOrder()
{
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    BasicPage& basic = *para.TabSheet1;
    ProductPage& product = *para.TabSheet7;
    QCOMPARE(para.PageControl1->currentIndex(), 0);
    QCOMPARE(para.PageControl1->count(), 8);
    QCOMPARE(para.PageControl1->tabText(6), qs("黑标"));
    QCOMPARE(basic.cbb_BauRate->currentText(), QStringLiteral("9600"));
    QCOMPARE(basic.cbb_Codepage->currentText(), QStringLiteral("CP437:USA/Standard Europe"));
    QCOMPARE(basic.cbb_Dark->currentText(), qs("正常"));
    QCOMPARE(basic.cbb_Flowcontrol->currentText(), qs("硬件流控"));
    QCOMPARE(basic.edt_sleepTime->text(), QStringLiteral("600"));
    QCOMPARE(basic.edt_poweroffTime->text(), QStringLiteral("7200"));
    QVERIFY(basic.chk_buzzer->isChecked());
    QVERIFY(!basic.chk_Drawer->isEnabled());
    QCOMPARE(product.cbb_UsbDeviceTpe->currentText(), qs("USB打印口"));
    QCOMPARE(product.cbb_PaperType->currentText(), qs("热敏标签纸"));
    QCOMPARE(product.cbb_PrinterOrder->currentText(), qs("正序"));
    QCOMPARE(product.Cbx_Bluetooth->currentText(), qs("取消蓝牙隐身"));
    QCOMPARE(product.edt_DeviceSerialNo->text(), QString());
    QVERIFY(product.rb_Plus->isChecked());
    QVERIFY(para.TabSheet3->rb_StaticIP->isChecked());
    QVERIFY(para.TabSheet3->edt_IPaddress->isEnabled());
    QCOMPARE(para.TabSheet2->rg_lyMode->itemIndex(), 1);
    QCOMPARE(para.TabSheet8->edt_cutter_optocoupler->text(), QStringLiteral("5"));
    QVERIFY(para.TabSheet6->bt_firmware->isHidden());
    QCOMPARE(windows->main().worker().eventsObserver(), para.workerEvents());

    para.close();
    QVERIFY(windows->main().isVisible());
    QCOMPARE(windows->main().worker().eventsObserver(), windows->main().workerEvents());
    const std::string file = readText(dataDir / "sysconfig.ini");
    std::size_t at = file.find("[ParaDefault]");
    QVERIFY(at != std::string::npos);
    for (const ParaKey& key : ParaKeyTable()) {
        const std::size_t next = file.find("\n" + std::string(key.key) + "=", at);
        QVERIFY2(next != std::string::npos, std::string(key.key).c_str());
        at = next;
    }
    QVERIFY(file.find("\nDark=正常\r\n") != std::string::npos);
    QVERIFY(file.find("\nIpType=1\r\n") != std::string::npos);
    QVERIFY(file.find("\nBlueToolthMode=1\r\n") != std::string::npos);
    QVERIFY(file.find("\nbuzzer=1\r\n") != std::string::npos);
    QVERIFY(file.find("\nDrawer=0\r\n") != std::string::npos);
}

void ParamWindowTest::recordFromTheOtherLanguageKeepsItsChoices()
{
    auto windows = open();
    MainWindow& main = windows->main();
    main.cbb_Language->setCurrentIndex(1);
    emit main.cbb_Language->activated(1);
    ParamWindow& para = showPara(*windows);
    QCOMPARE(para.TabSheet1->cbb_Dark->currentText(), QStringLiteral("Normal"));
    QCOMPARE(para.TabSheet1->btn_SetAllPara->text(), QStringLiteral("Set all parameters"));
    // Every caption and hint of the window has its English text.
    WidgetTranslationView& view = para.translationView();
    for (std::size_t i = 0; i < view.controlCount(); ++i) {
        QVERIFY2(!hasChineseCharacter(QString::fromStdString(view.controlText(i))),
                 view.controlName(i).c_str());
        QVERIFY2(!hasChineseCharacter(QString::fromStdString(view.controlHint(i))),
                 view.controlName(i).c_str());
    }
    QCOMPARE(para.TabSheet8->edt__Black_width->toolTip(), QStringLiteral("From 40 to 120"));
    if (const QByteArray folder = qgetenv("PST_PARA_SCREENSHOTS"); !folder.isEmpty()) {
        QTest::qWait(100);
        QVERIFY(para.grab().save(QString::fromUtf8(folder) + "/param-basic-en.png"));
    }
    // Every translatable list away from its first item, so that falling back
    // to the first item would show.
    const std::vector<QComboBox*> lists{para.TabSheet1->cbb_Dark,         para.TabSheet2->cbb_lyWorkMode,
                                        para.TabSheet5->cbb_irdaProtecl,  para.TabSheet7->cbb_UsbDeviceTpe,
                                        para.TabSheet7->cbb_PaperType,    para.TabSheet7->Cbx_Bluetooth,
                                        para.TabSheet7->cbb_PrinterOrder, para.TabSheet1->cbb_Flowcontrol};
    for (QComboBox* list : lists)
        list->setCurrentIndex(list->count() - 1);
    para.close();
    QVERIFY(readText(dataDir / "sysconfig.ini").find("\nDark=") != std::string::npos);

    // Read back in Chinese: the same items, now in Chinese.
    main.cbb_Language->setCurrentIndex(0);
    emit main.cbb_Language->activated(0);
    showPara(*windows);
    for (QComboBox* list : lists)
        QVERIFY2(list->currentIndex() == list->count() - 1, qPrintable(list->objectName()));
    QCOMPARE(para.TabSheet1->cbb_Dark->currentText(), qs("高浓度"));
    QCOMPARE(para.TabSheet7->cbb_PaperType->currentText(), qs("热敏标签纸"));
    // The Chinese file never touches the flow-control list: still English.
    QCOMPARE(para.TabSheet1->cbb_Flowcontrol->currentText(), QStringLiteral("Hardware flow control"));
    QCOMPARE(para.TabSheet1->btn_SetAllPara->text(), qs("设置全部参数"));
}

void ParamWindowTest::radioPairKeepsItsStateForAnOddIndex()
{
    writeSettings("[ParaDefault]\r\nIpType=5\r\nInfraredType=0\r\ncalculate=7\r\n");
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    QVERIFY(para.TabSheet3->rb_StaticIP->isChecked());
    QVERIFY(!para.TabSheet3->rb_AutoIp->isChecked());
    QVERIFY(para.TabSheet5->rb_notInfrared->isChecked());
    QVERIFY(!para.TabSheet5->cbb_InfraredBaurate->isEnabled());
    QVERIFY(!para.TabSheet7->rb_Minus->isChecked());
    QVERIFY(!para.TabSheet7->rb_Plus->isChecked());
}

void ParamWindowTest::unknownBaudRateShowsNothingAndItsButtonDoesNothing()
{
    writeSettings("[ParaDefault]\r\nBaudRate=300\r\nCodePage=cp850:latin1;western european\r\n");
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    QCOMPARE(para.TabSheet1->cbb_BauRate->currentIndex(), -1);
    QCOMPARE(para.TabSheet1->cbb_BauRate->currentText(), QString());
    QCOMPARE(para.TabSheet1->cbb_Codepage->currentIndex(), 6);
    para.TabSheet1->btn_SetBauRate->click();
    QVERIFY(!windows->main().worker().busy());
    QVERIFY(prompter.messages.empty());
    para.close();
    QVERIFY(readText(dataDir / "sysconfig.ini").find("\nBaudRate=\r\n") != std::string::npos);
}

void ParamWindowTest::serialNumberStepsAfterDeviceParametersAreSet()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    ProductPage& product = *para.TabSheet7;
    product.edt_DeviceName->setText(QStringLiteral("P80"));
    product.edt_DeviceSerialNo->setText(QStringLiteral("1704269998"));
    product.rb_Plus->setChecked(true);
    click(*windows, product.btn_SetDevicePara);
    QTRY_COMPARE_WITH_TIMEOUT(product.edt_DeviceSerialNo->text(), QStringLiteral("1704269999"),
                              kPrinterTimeoutMs);
    QCOMPARE(para.statusPanel0->text(), qs("设置设备参数成功"));
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.productSerial == "1704269998"; }));

    // The same text from a run this window did not start steps nothing:
    // only the product run's own end does.
    para.workerEvents()->status(StatusUpdate{.run = 9999, .text = MessageText("sMsg9")});
    para.workerEvents()->done(RunOutcome{.run = 9999, .operation = operationNumber(Operation::SetProduct)});
    QCOMPARE(product.edt_DeviceSerialNo->text(), QStringLiteral("1704269999"));

    // Minus, then neither direction.
    product.rb_Minus->setChecked(true);
    click(*windows, product.btn_SetDevicePara);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.productSerial == "1704269999"; }));
    QTRY_COMPARE_WITH_TIMEOUT(product.edt_DeviceSerialNo->text(), QStringLiteral("1704269998"), kPrinterTimeoutMs);
    checkRadio(product.rb_Minus, product.rb_Plus, -1);
    click(*windows, product.btn_SetDevicePara);
    QTRY_VERIFY_WITH_TIMEOUT(!para.runGoing(), kPrinterTimeoutMs);
    QCOMPARE(product.edt_DeviceSerialNo->text(), QStringLiteral("1704269998"));
}

void ParamWindowTest::emptyProductNameIsRefused()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const auto trafficBefore = printerTraffic();
    para.TabSheet7->edt_DeviceSerialNo->setText(QStringLiteral("123"));
    para.TabSheet7->btn_SetDevicePara->click();
    QCOMPARE(prompter.messages, std::vector<std::string>{"设备名称不能为空"});
    // With the serial number blank as well: still refused, not passed over.
    para.TabSheet7->edt_DeviceSerialNo->clear();
    para.TabSheet7->btn_SetDevicePara->click();
    QCOMPARE(prompter.messages, (std::vector<std::string>{"设备名称不能为空", "设备名称不能为空"}));
    QVERIFY(!windows->main().worker().busy());
    QTest::qWait(100);
    QCOMPARE(printerTraffic(), trafficBefore);
}

void ParamWindowTest::typedNumbersAreRefusedNamingTheirFieldBeforeAnythingIsSent()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    // A value the old tolerant window stored still loads as it is.
    writeSettings("[ParaDefault]\r\nBlacklookdistance=9999\r\n");
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    para.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&para));
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const auto trafficBefore = printerTraffic();

    // Pasted text passes the key filter: once sent as 1000 s, reported done.
    BasicPage& basic = *para.TabSheet1;
    QApplication::clipboard()->setText(QStringLiteral("12ab"));
    basic.edt_sleepTime->selectAll();
    basic.edt_sleepTime->paste();
    QCOMPARE(basic.edt_sleepTime->text(), QStringLiteral("12ab"));
    basic.btn_SetpoweroffTime->setFocus();
    basic.btn_SetpoweroffTime->click();
    basic.btn_SetAllPara->click();
    const std::string sleepRefusal = "休眠时间：请输入 1 到 999999999 之间的整数";
    QCOMPARE(prompter.messages, (std::vector<std::string>{sleepRefusal, sleepRefusal}));
    QTRY_VERIFY(basic.edt_sleepTime->hasFocus());

    // Empty, once sent as 30 s.
    para.PageControl1->setCurrentIndex(7);
    recyclingEdit(para)->clear();
    recyclingButton(para)->setFocus();
    recyclingButton(para)->click();
    QCOMPARE(prompter.messages.back(), std::string("票据回收时间：请输入 1 到 255 之间的整数"));
    QTRY_VERIFY(recyclingEdit(para)->hasFocus());

    // Outside the range its hint gives.
    para.PageControl1->setCurrentIndex(6);
    BlackMarkPage& blackMark = *para.TabSheet8;
    QCOMPARE(blackMark.edt__Black_look_distance->text(), QStringLiteral("9999"));
    blackMark.btn_But_Black_look_dis_set->click();
    QCOMPARE(prompter.messages.back(), std::string("黑标查找距离：请输入 400 到 4000 之间的整数"));

    QVERIFY(!windows->main().worker().busy());
    QTest::qWait(100);
    QCOMPARE(printerTraffic(), trafficBefore);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.sleepSeconds == 600; }));
}

void ParamWindowTest::addressEditsAreCheckedOnLeaving()
{
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    para.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&para));

    para.PageControl1->setCurrentIndex(3);
    NetworkPage& net = *para.TabSheet4;
    net.edt_NetIPAddress->setFocus();
    QTRY_VERIFY(net.edt_NetIPAddress->hasFocus());
    net.edt_NetIPAddress->setText(QStringLiteral("192.168.1.300"));
    net.edt_gatewayt->setFocus();
    QCOMPARE(prompter.messages, std::vector<std::string>{"IP 地址：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）"});
    QTRY_VERIFY(net.edt_NetIPAddress->hasFocus());
    QCOMPARE(net.edt_NetIPAddress->text(), QStringLiteral("192.168.1.300"));

    // A partial address would be configured as another one (192.168.1 as
    // 192.168.0.1): refused, as are the hexadecimal and broadcast forms.
    net.edt_NetIPAddress->setText(QStringLiteral("192.168.1"));
    net.edt_Subnetmask->setFocus();
    QCOMPARE(prompter.messages.size(), std::size_t{2});
    QTRY_VERIFY(net.edt_NetIPAddress->hasFocus());
    net.edt_NetIPAddress->setText(QStringLiteral("192.168.1.87"));
    net.edt_Subnetmask->setFocus();
    QTRY_VERIFY(net.edt_Subnetmask->hasFocus());
    net.edt_Subnetmask->setText(QStringLiteral("255.255.255.255"));
    net.edt_gatewayt->setFocus();
    QCOMPARE(prompter.messages.back(), std::string("子网掩码：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）"));
    QTRY_VERIFY(net.edt_Subnetmask->hasFocus());
    net.edt_Subnetmask->setText(QStringLiteral("0x7f.1"));
    net.edt_gatewayt->setFocus();
    QCOMPARE(prompter.messages.size(), std::size_t{4});

    para.PageControl1->setCurrentIndex(2);
    WifiPage& wifi = *para.TabSheet3;
    wifi.edt_Gateway->setFocus();
    QTRY_VERIFY(wifi.edt_Gateway->hasFocus());
    wifi.edt_Gateway->setText(QStringLiteral("1.2.3.4.5"));
    wifi.edt_SSID->setFocus();
    QCOMPARE(prompter.messages.back(), std::string("网关：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）"));
    QTRY_VERIFY(wifi.edt_Gateway->hasFocus());
}

void ParamWindowTest::networkPageRefusesBadInput()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    NetworkPage& net = *para.TabSheet4;
    para.PageControl1->setCurrentIndex(3);
    para.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&para));
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const auto trafficBefore = printerTraffic();
    net.edt_NetIPAddress->setText(QStringLiteral("192.168.1.256"));
    net.btn_NetWorkSetIP->click();
    QCOMPARE(prompter.messages, std::vector<std::string>{"IP 地址：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）"});
    QTRY_VERIFY(net.edt_NetIPAddress->hasFocus());
    // Mended, so that the focus going to the next refused field does not
    // make it refuse the address again.
    net.edt_NetIPAddress->setText(QStringLiteral("192.168.1.87"));
    net.edt_Netport->setText(QStringLiteral("1"));
    net.btn_Netport->click();
    QCOMPARE(prompter.messages.back(), std::string("端口：请输入 2 到 65535 之间的整数"));
    QTRY_VERIFY(net.edt_Netport->hasFocus());
    net.edt_macaddfr->setText(QStringLiteral("ZZ"));
    net.btn_netgatewayt->click();
    // Named after its place in the address, and the focus goes there.
    QCOMPARE(prompter.messages.back(), std::string("MAC 5：请输入 00 到 FF 之间的十六进制数"));
    QTRY_VERIFY(net.edt_macaddfr->hasFocus());
    // A byte above FF would go out as its low byte: refused instead.
    net.edt_macaddfr->setText(QStringLiteral("100"));
    net.btn_netgatewayt->click();
    QCOMPARE(prompter.messages.back(), std::string("MAC 5：请输入 00 到 FF 之间的十六进制数"));
    QVERIFY(!windows->main().worker().busy());
    QTest::qWait(100);
    QCOMPARE(printerTraffic(), trafficBefore);

    // The key filters: the port takes digits only, the address digits and dots.
    net.edt_Netport->clear();
    QTest::keyClicks(net.edt_Netport, QStringLiteral("9a1.0-0"));
    QCOMPARE(net.edt_Netport->text(), QStringLiteral("9100"));
    net.edt_NetIPAddress->clear();
    QTest::keyClicks(net.edt_NetIPAddress, QStringLiteral("10.x0.0.1"));
    QCOMPARE(net.edt_NetIPAddress->text(), QStringLiteral("10.0.0.1"));
}

void ParamWindowTest::enableRulesFollowTheRadioButtons()
{
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    WifiPage& wifi = *para.TabSheet3;
    wifi.rb_AutoIp->click();
    QVERIFY(!wifi.edt_IPaddress->isEnabled());
    QVERIFY(!wifi.edt_Mask->isEnabled());
    QVERIFY(!wifi.edt_Gateway->isEnabled());
    wifi.rb_StaticIP->click();
    QVERIFY(wifi.edt_Gateway->isEnabled());
    InfraredPage& ir = *para.TabSheet5;
    ir.rb_notInfrared->click();
    QVERIFY(!ir.cbb_InfraredBaurate->isEnabled());
    QVERIFY(!ir.cbb_irdaProtecl->isEnabled());
    ir.rb_Infrared->click();
    QVERIFY(ir.cbb_irdaProtecl->isEnabled());
}

void ParamWindowTest::downloadPageKeepsItsValuesAndListRules()
{
    writeSettings(
        "[ParaDefault]\r\nPrgFile=/tmp/p.bin\r\nWaitTime=9\r\nFontAddress=10000\r\nReadLength=64\r\n");
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    DownloadPage& page = *para.TabSheet6;
    QueuedFileChooser chooser;
    page.setFileChooser(chooser);
    QCOMPARE(page.edt_Prgfile->text(), QStringLiteral("/tmp/p.bin"));
    QCOMPARE(page.edt_WaitTime->text(), QStringLiteral("9"));
    QVERIFY(page.edt_WaitTime->isReadOnly());
    // It looks as it is: not an entry field waiting for typing.
    QCOMPARE(page.edt_WaitTime->palette().color(QPalette::Base), page.palette().color(QPalette::Window));
    QVERIFY(page.bt_firmware->isHidden());
    QVERIFY(!page.btn_UpdatePrg->isHidden());
    QVERIFY(page.btn_ReadFont->isEnabled());

    // The logo dialog keeps the title the font dialog left.
    chooser.opens = {{QStringLiteral("/f/font.bin")},
                     {QStringLiteral("/l/a.bmp"), QStringLiteral("/l/b.bmp")},
                     {QStringLiteral("/l/c.bmp")}};
    page.btn_OpenFont->click();
    page.btn_OpenLogo->click();
    page.btn_OpenLogo->click();
    QCOMPARE(page.edt_FontFile->text(), QStringLiteral("/f/font.bin"));
    QCOMPARE(chooser.titles,
             (std::vector<QString>{qs("选择字库文件"), qs("选择字库文件"), qs("选择字库文件")}));
    // Every picture type the tool reads comes first, all files last.
    QCOMPARE(chooser.filterIndexes, (std::vector<int>{0, 0, 0}));
    QCOMPARE(
        chooser.filters[1],
        qs("图片 (*.bmp *.png *.jpg *.jpeg *.gif *.BMP *.PNG *.JPG *.JPEG *.GIF);;BMP 图片 (*.bmp *.BMP);;"
           "所有文件 (*)"));
    QVERIFY(chooser.filters[0].endsWith(qs(";;所有文件 (*)")));
    QCOMPARE(page.ListBox1->count(), 3);
    QCOMPARE(page.ListBox1->item(0)->toolTip(), qs("/l/a.bmp：文件无法打开"));
    QCOMPARE(page.ListBox1->currentRow(), 0);

    // Nothing selected: print starts nothing, delete takes the last entry.
    page.ListBox1->clearSelection();
    page.btn_PrintLogo->click();
    QVERIFY(!windows->main().worker().busy());
    page.btn_DeleteLogo->click();
    QCOMPARE(page.ListBox1->count(), 2);
    page.ListBox1->addItem(QStringLiteral("/l/d.bmp"));
    page.ListBox1->item(1)->setSelected(true);
    page.ListBox1->item(2)->setSelected(true);
    page.btn_DeleteLogo->click();
    QCOMPARE(page.ListBox1->count(), 1);
    QCOMPARE(page.ListBox1->item(0)->text(), QStringLiteral("/l/a.bmp"));

    // Missing files: the program update says so, the font download nothing.
    page.btn_UpdatePrg->click();
    page.btn_UpdateFont->click();
    QCOMPARE(prompter.messages, std::vector<std::string>{"文件不存在"});
    QVERIFY(!windows->main().worker().busy());
    // A cancelled save dialog reads nothing; a bad start address is refused.
    page.btn_ReadFont->click();
    chooser.savePath = QString::fromStdString((dataDir / "out.hex").string());
    page.edt_StartAddress->setText(QStringLiteral("XYZ"));
    page.btn_ReadFont->click();
    QCOMPARE(prompter.messages.back(), std::string("起始地址：请输入 00 到 7FFFFFFF 之间的十六进制数"));
    QVERIFY(!windows->main().worker().busy());
    page.edt_StartAddress->setText(QStringLiteral("0x12G"));
    page.btn_ReadFont->click();
    QCOMPARE(prompter.messages.back(), std::string("起始地址：请输入 00 到 7FFFFFFF 之间的十六进制数"));
    QVERIFY(!windows->main().worker().busy());

    page.edt_StartAddress->setText(QStringLiteral("1CF000"));
    para.close();
    const std::string file = readText(dataDir / "sysconfig.ini");
    QVERIFY(file.find("\nStartAddress=1CF000\r\n") != std::string::npos);
    QVERIFY(file.find("\nFontAddress=10000\r\n") != std::string::npos);
}

void ParamWindowTest::downloadPageDownloadsPrintsAndReadsBack()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    para.PageControl1->setCurrentWidget(para.TabSheet6);
    DownloadPage& page = *para.TabSheet6;
    QueuedFileChooser chooser;
    page.setFileChooser(chooser);
    QStringList logos;
    for (const int width : {16, 24}) {
        QImage picture(width, 8, QImage::Format_RGB32);
        picture.fill(Qt::black);
        const QString path =
            QString::fromStdString((dataDir / ("logo" + std::to_string(width) + ".bmp")).string());
        QVERIFY(picture.save(path, "BMP"));
        logos << path;
    }
    chooser.opens = {logos};
    page.btn_OpenLogo->click();
    QCOMPARE(page.ListBox1->count(), 2);
    if (const QByteArray folder = qgetenv("PST_PARA_SCREENSHOTS"); !folder.isEmpty()) {
        QTest::qWait(100);
        QVERIFY(para.grab().save(QString::fromUtf8(folder) + "/param-download.png"));
    }

    click(*windows, page.btn_DownLogo);
    QVERIFY(para.transferBar->isVisible());
    QVERIFY(waitForState([](const sim::PrinterState& s) { return sim::storedLogoCount(s.flash) == 2; }));
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    QTRY_VERIFY(!para.transferBar->isVisible());
    QCOMPARE(fs::file_size(dataDir / "1.bin"), std::uintmax_t{4096 + 8 * (2 + 3)});

    page.ListBox1->selectAll();
    click(*windows, page.btn_PrintLogo);
    QVERIFY(waitForState([](const sim::PrinterState& s) {
        std::vector<unsigned> numbers;
        for (const sim::PrintedItem& item : s.printed)
            if (item.kind == sim::PrintedItem::Kind::Logo)
                numbers.push_back(item.number);
        return numbers == std::vector<unsigned>{1, 2};
    }));

    // A picture wider than the widest print head is refused by name before
    // any bank is built or sent.
    {
        QImage wide(600000, 1, QImage::Format_RGB32);
        wide.fill(Qt::black);
        const QString widePath = QString::fromStdString((dataDir / "wide.bmp").string());
        QVERIFY(wide.save(widePath, "BMP"));
        chooser.opens = {{widePath}};
        page.btn_OpenLogo->click();
        QCOMPARE(page.ListBox1->count(), 3);
        const auto bankBefore = fs::last_write_time(dataDir / "1.bin");
        click(*windows, page.btn_DownLogo);
        QCOMPARE(prompter.messages.back(),
                 "图片比最宽的打印头（576 点）还宽：请缩放到 576 点或 384 点 (" + widePath.toStdString() + ")");
        QVERIFY(!windows->main().worker().busy());
        QCOMPARE(fs::last_write_time(dataDir / "1.bin"), bankBefore);
        QCOMPARE(fs::file_size(dataDir / "1.bin"), std::uintmax_t{4096 + 8 * (2 + 3)});
        delete page.ListBox1->takeItem(2);
        prompter.messages.clear();
    }

    // The directory's first entry comes back: image address 0x1D0000.
    const fs::path readBack = dataDir / "out.hex";
    chooser.savePath = QString::fromStdString(readBack.string());
    page.edt_StartAddress->setText(QStringLiteral("1CF000"));
    page.edt_ReadLength->setText(QStringLiteral("1024"));
    click(*windows, page.btn_ReadFont);
    QCOMPARE(para.statusPanel1->text(), qs("更新字库:") + chooser.savePath);
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const std::string bytes = readText(readBack);
    QCOMPARE(bytes.size(), std::size_t{1024});
    QCOMPARE(bytes.substr(0, 4), std::string("\x00\x00\x1d\x00", 4));

    // A program built for another model is refused by the worker.
    std::string program(12296, '\0');
    program.replace(0x3000, 4, "ZZ99");
    std::ofstream(dataDir / "other.bin", std::ios::binary) << program;
    page.edt_Prgfile->setText(QString::fromStdString((dataDir / "other.bin").string()));
    // Asked first; "no" sends nothing.
    prompter.answer = false;
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const auto before = printerTraffic();
    page.btn_UpdatePrg->click();
    QCOMPARE(prompter.questions.back(),
             std::string("将更新打印机的程序。更新期间请勿断开打印机或关闭本程序。继续吗？"));
    QVERIFY(!windows->main().worker().busy());
    QCOMPARE(printerTraffic(), before);
    prompter.answer = true;
    click(*windows, page.btn_UpdatePrg);
    QTRY_COMPARE_WITH_TIMEOUT(para.statusPanel0->text(), qs("程序文件错误"), kPrinterTimeoutMs);
    QVERIFY(para.statusPanel1->text().endsWith(QStringLiteral("other.bin Size:12296")));
    QTRY_VERIFY(!para.transferBar->isVisible());
    QVERIFY(prompter.messages.empty());
}

void ParamWindowTest::logoChoicesShowInThumbnailsAndDownloadsAreConfirmedVerifiedAndListed()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    para.PageControl1->setCurrentWidget(para.TabSheet6);
    DownloadPage& page = *para.TabSheet6;
    QueuedFileChooser chooser;
    page.setFileChooser(chooser);
    // A shaded photo too wide for any head, and a small grey square.
    QImage photo(1000, 100, QImage::Format_RGB32);
    for (int x = 0; x < photo.width(); ++x)
        for (int y = 0; y < photo.height(); ++y)
            photo.setPixel(x, y, qRgb(x / 4, x / 4, x / 4));
    const QString photoPath = QString::fromStdString((dataDir / "photo.png").string());
    QVERIFY(photo.save(photoPath, "PNG"));
    QImage square(100, 50, QImage::Format_RGB32);
    square.fill(QColor(128, 128, 128));
    const QString squarePath = QString::fromStdString((dataDir / "square.jpg").string());
    QVERIFY(square.save(squarePath, "JPG"));
    chooser.opens = {{photoPath, squarePath}};
    page.btn_OpenLogo->click();
    QCOMPARE(page.ListBox1->count(), 2);

    // At its own size the photo cannot print: it says why where it stands.
    QVERIFY(page.ListBox1->item(0)->icon().isNull());
    QCOMPARE(page.ListBox1->item(0)->toolTip(), qs("图片比最宽的打印头（576 点）还宽：请缩放到 576 点或 384 点 (") +
                                                    photoPath + qs(")"));
    QVERIFY(!page.ListBox1->item(1)->icon().isNull());
    page.cbb_LogoWidth->setCurrentIndex(2);
    QVERIFY(!page.ListBox1->item(0)->icon().isNull());
    QVERIFY(page.ListBox1->item(0)->toolTip().isEmpty());
    page.cbb_Dither->setCurrentIndex(1);

    // Declined: nothing goes to the printer. Asked once for both logos.
    prompter.answer = false;
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const auto before = printerTraffic();
    click(*windows, page.btn_DownLogo);
    QCOMPARE(prompter.questions, std::vector<std::string>{"下载会替换打印机中已存的全部徽标。继续吗？"});
    QVERIFY(!windows->main().worker().busy());
    QCOMPARE(printerTraffic(), before);

    prompter.answer = true;
    page.chk_Verify->setChecked(true);
    click(*windows, page.btn_DownLogo);
    QCOMPARE(prompter.questions.size(), std::size_t{2});
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    QTRY_COMPARE(para.statusPanel0->text(), qs("校验通过：打印机内存与所发数据一致"));
    QVERIFY(prompter.messages.empty());

    // The printer's own directory, read back.
    click(*windows, page.btn_ReadLogos);
    QTRY_COMPARE_WITH_TIMEOUT(page.lbl_StoredLogos->text(), qs("徽标 1：576 × 64 点; 徽标 2：576 × 288 点"),
                              kPrinterTimeoutMs);

    // A font whose second block the printer stores spoiled: the read-back
    // names where.
    printer->setFault({.mode = sim::FaultMode::CorruptWrite, .count = 2});
    std::ofstream(dataDir / "font.bin", std::ios::binary) << std::string(600, 'F');
    page.edt_FontFile->setText(QString::fromStdString((dataDir / "font.bin").string()));
    page.edt_FontAddress->setText(QStringLiteral("20000"));
    click(*windows, page.btn_UpdateFont);
    QTRY_COMPARE_WITH_TIMEOUT(para.statusPanel0->text(), qs("校验失败：第一个不同的地址是 0x20180，共 1 块不同"),
                              kPrinterTimeoutMs);
    // Not left to a line in the status bar.
    QCOMPARE(prompter.messages, std::vector<std::string>{"校验失败：第一个不同的地址是 0x20180，共 1 块不同"});

    // The choices are kept for next time.
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    para.close();
    const std::string file = readText(dataDir / "sysconfig.ini");
    QVERIFY(file.find("\nLogoDither=Floyd-Steinberg 抖动\r\n") != std::string::npos);
    QVERIFY(file.find("\nLogoWidth=576 点（80 mm）\r\n") != std::string::npos);
    QVERIFY(file.find("\nDownloadVerify=1\r\n") != std::string::npos);
}

void ParamWindowTest::aLateEndBelongsToItsOwnRunAndAClickBeforeItWaits()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    TCommThread& worker = windows->main().worker();
    DownloadPage& page = *para.TabSheet6;
    QueuedFileChooser chooser;
    page.setFileChooser(chooser);
    QImage square(100, 50, QImage::Format_RGB32);
    square.fill(QColor(0, 0, 0));
    const QString squarePath = QString::fromStdString((dataDir / "square.png").string());
    QVERIFY(square.save(squarePath, "PNG"));
    chooser.opens = {{squarePath}};
    page.btn_OpenLogo->click();
    page.chk_Verify->setChecked(true);
    prompter.answer = true;

    // The download's events are held back, to be handed over in the order
    // that once misled the window: its texts, the worker idle, a click,
    // and only then the download's end.
    std::mutex heldMutex;
    std::vector<std::function<void()>> held;
    std::atomic<bool> downloadOver{false};
    const auto events = para.workerEvents();
    WorkerEvents holding;
    holding.status = [&, events](const StatusUpdate& update) {
        std::lock_guard lock(heldMutex);
        held.push_back([events, update] { events->status(update); });
    };
    holding.done = [&, events](const RunOutcome& outcome) {
        std::lock_guard lock(heldMutex);
        held.push_back([events, outcome] { events->done(outcome); });
        downloadOver = true;
    };
    holding.failed = [&, events](const WorkerFailure& failure) {
        std::lock_guard lock(heldMutex);
        held.push_back([events, failure] { events->failed(failure); });
        downloadOver = true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(!worker.busy(), kPrinterTimeoutMs);
    worker.setEvents(holding);
    page.btn_DownLogo->click();
    QTRY_VERIFY_WITH_TIMEOUT(downloadOver.load(), kPrinterTimeoutMs);
    worker.setEvents(events, Dispatcher::current());
    std::vector<std::function<void()>> download;
    {
        std::lock_guard lock(heldMutex);
        download.swap(held);
    }
    const std::function<void()> lateDone = download.back();
    download.pop_back();
    for (const auto& deliver : download)
        deliver();
    QCOMPARE(para.statusPanel0->text(), qs("校验通过：打印机内存与所发数据一致"));

    QVERIFY(!worker.busy());
    page.btn_ReadLogos->click();
    QVERIFY(!worker.busy());  // waits for the download's end
    QCOMPARE(para.statusPanel0->text(), qs("校验通过：打印机内存与所发数据一致"));
    lateDone();
    QTRY_COMPARE_WITH_TIMEOUT(page.lbl_StoredLogos->text(), qs("徽标 1：104 × 56 点"), kPrinterTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!para.runGoing(), kPrinterTimeoutMs);
    // Handed over again, the download's end is no one's.
    lateDone();
    QCOMPARE(page.lbl_StoredLogos->text(), qs("徽标 1：104 × 56 点"));
    QVERIFY(prompter.messages.empty());
}

void ParamWindowTest::stopEndsADownloadAndThePrinterIsBackAtItsSpeed()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    auto windows = open();
    ParamWindow& para = startLongFontDownload(*windows);
    QVERIFY(para.btn_Stop->isVisible());
    QCOMPARE(para.transferBar->maximum(), kLongFontBlocks * 256);
    para.btn_Stop->click();
    QTRY_VERIFY_WITH_TIMEOUT(!para.runGoing(), kPrinterTimeoutMs);
    QVERIFY(!para.btn_Stop->isVisible());
    QVERIFY(!para.transferBar->isVisible());
    const QString stopped = para.statusPanel0->text();
    QVERIFY2(stopped.contains(QStringLiteral(" / 400")), qPrintable(stopped));
    QVERIFY(waitForState([](const sim::PrinterState& s) { return s.speed == 9600; }));
    QVERIFY(std::filesystem::exists(dataDir / "debug.log"));

    // The printer answers at once at its own speed.
    para.TabSheet1->cbb_Codepage->setCurrentIndex(6);
    click(*windows, para.TabSheet1->btn_SetCodepage);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.codePage == 2; }));

    // Opened again, the window tells nothing of runs that ended before.
    QTRY_VERIFY_WITH_TIMEOUT(!para.runGoing(), kPrinterTimeoutMs);
    QVERIFY(!para.statusPanel0->text().isEmpty());
    para.close();
    showPara(*windows);
    QCOMPARE(para.statusPanel0->text(), QString());
    QCOMPARE(para.statusPanel1->text(), QString());
}

void ParamWindowTest::closingDuringADownloadAsksOnceAndEndsPromptly()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    auto windows = open();
    ParamWindow& para = startLongFontDownload(*windows);

    // No: the window stays and the download goes on.
    prompter.answer = false;
    para.close();
    QVERIFY(para.isVisible());
    QVERIFY(para.runGoing());
    QCOMPARE(prompter.questions.size(), std::size_t{1});

    // Yes: the window closes, and the program with it, within moments.
    prompter.answer = true;
    para.close();
    QVERIFY(!para.isVisible());
    QElapsedTimer clock;
    clock.start();
    windows.reset();
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(waitForState([](const sim::PrinterState& s) { return s.speed == 9600; }));
    QCOMPARE(prompter.questions.size(), std::size_t{2});
}

void ParamWindowTest::aButtonWithNothingToSendSaysSo()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    para.TabSheet2->edt_lyName->clear();
    para.TabSheet2->edt_smlyName->clear();
    const auto before = printerTraffic();
    click(*windows, para.TabSheet2->btn_SetlyPara);
    QCOMPARE(para.statusPanel0->text(), qs("没有要发送的内容：请先填写或选择"));
    QCOMPARE(printerTraffic(), before);
    QVERIFY(prompter.messages.empty());
}

void ParamWindowTest::busyWorkerIsShownAndNothingIsStarted()
{
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    ManualResetEvent release;
    TCommThread& worker = windows->main().worker();
    QVERIFY(worker.startCustom([&](TCommThread&) { release.wait(std::chrono::seconds(10)); }));
    para.TabSheet8->btn__Set_black_mode->click();
    QCOMPARE(para.statusPanel0->text(), qs("打印机正忙，请等待当前操作结束"));
    QCOMPARE(worker.operation(), TCommThread::kCustomOperation);
    release.set();
    QTRY_VERIFY(!worker.busy());
    QVERIFY(prompter.messages.empty());
}

void ParamWindowTest::failedOperationShowsItsTexts()
{
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    // The end of a run this window did not start says nothing here.
    para.workerEvents()->failed(WorkerFailure{.run = 9999, .text = "Download Data Failed"});
    QCOMPARE(para.statusPanel0->text(), QString());

    // A real failure: the printer is not there. Its text, in the window's
    // language, stays once the run is over; the cause is in the tooltip.
    windows->main().cbb_Comname->setEditText(QString::fromStdString((dataDir / "no-such-port").string()));
    para.TabSheet1->btn_SetCodepage->click();
    QTRY_VERIFY_WITH_TIMEOUT(!para.runGoing(), kPrinterTimeoutMs);
    QCOMPARE(para.statusPanel0->text(), qs("打开串口出错"));
    para.statusPanel0->grab();  // the tooltip is settled as the label is drawn
    QVERIFY2(para.statusPanel0->toolTip().contains(QStringLiteral("no-such-port")),
             qPrintable(para.statusPanel0->toolTip()));
    QTest::qWait(100);
    QCOMPARE(para.statusPanel0->text(), qs("打开串口出错"));
}

void ParamWindowTest::basicPageSetsThePrinter()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    BasicPage& basic = *para.TabSheet1;

    basic.cbb_Codepage->setCurrentIndex(6);  // CP850
    click(*windows, basic.btn_SetCodepage);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.codePage == 2; }));
    basic.cbb_Flowcontrol->setCurrentIndex(0);
    click(*windows, basic.btn_flowcontrol);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.flowControl == 0; }));
    basic.cbb_Dark->setCurrentIndex(3);
    basic.cbb_FontValue->setCurrentIndex(3);
    basic.cbb_Forcepaper->setCurrentIndex(1);
    click(*windows, basic.btn_SetForcepaper);
    QVERIFY(waitForPrinter(
        [](const sim::PrinterSettings& s) { return s.optionFlags == 0xED && s.lineFeed == 1; }));
    basic.edt_sleepTime->setText(QStringLiteral("60"));
    click(*windows, basic.btn_SetpoweroffTime);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.sleepSeconds == 60; }));
    // Asked first; "no" sends nothing.
    prompter.answer = false;
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const auto before = printerTraffic();
    basic.btn_SetReset->click();
    QCOMPARE(prompter.questions.size(), std::size_t{1});
    QVERIFY(prompter.questions[0].find("出厂值") != std::string::npos);
    QVERIFY(prompter.questions[0].find("无法读回") != std::string::npos);
    QVERIFY(!windows->main().worker().busy());
    QCOMPARE(printerTraffic(), before);
    prompter.answer = true;
    click(*windows, basic.btn_SetReset);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.defaultsRestored == 1; }));
    basic.cbb_Codepage->setCurrentIndex(3);  // GBK
    basic.edt_poweroffTime->setText(QStringLiteral("3600"));
    click(*windows, basic.btn_SetAllPara);
    QVERIFY(waitForPrinter(
        [](const sim::PrinterSettings& s) { return s.codePage == 255 && s.powerOffSeconds == 3600; }));
    basic.cbb_BauRate->setCurrentIndex(4);  // 19200
    click(*windows, basic.btn_SetBauRate);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.deviceSpeed == 19200; }));
    QTRY_COMPARE_WITH_TIMEOUT(para.statusPanel0->text(), qs("设置波特率成功"), kPrinterTimeoutMs);
    QVERIFY(jsonHas(printer->stateJson(), "deviceSpeed", "19200"));
}

void ParamWindowTest::productPageSetsThePrinter()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    ProductPage& product = *para.TabSheet7;
    product.cbb_UsbDeviceTpe->setCurrentIndex(0);
    click(*windows, product.btn_SetUsbDeviceType);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.usbType == 0; }));
    product.cbb_PaperType->setCurrentIndex(0);
    click(*windows, product.btn_SetPaperType);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.paperType == 0; }));
    product.cbb_PrinterOrder->setCurrentIndex(0);
    click(*windows, product.btn_SetPrinterOrder);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.printOrder == 0xF1; }));
    recyclingEdit(para)->setText(QStringLiteral("60"));
    click(*windows, recyclingButton(para));
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.recyclingSeconds == 60; }));
    QTRY_COMPARE_WITH_TIMEOUT(para.statusPanel0->text(), qs("设置票据回收时间成功"), kPrinterTimeoutMs);
    // A command nobody answers says it was sent, in place of the last text.
    product.Cbx_Bluetooth->setCurrentIndex(0);
    click(*windows, product.btn_bluetooth);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.bluetooth.hidden; }));
    QTRY_COMPARE_WITH_TIMEOUT(para.statusPanel0->text(), qs("命令已发送，打印机不作确认"), kPrinterTimeoutMs);
    product.edt_DeviceName->setText(QStringLiteral("Counter 3"));
    product.edt_DeviceSerialNo->setText(QStringLiteral("42"));
    click(*windows, product.btn_SetDevicePara);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.productName == "Counter 3"; }));
}

void ParamWindowTest::bluetoothPageSetsThePrinter()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    BluetoothPage& bt = *para.TabSheet2;
    bt.edt_smlyName->setText(QStringLiteral("Shop-BT"));
    bt.edt_lyPsw->setText(QStringLiteral("1234"));
    QCOMPARE(bt.edt_lyPsw->displayText(), QStringLiteral("****"));
    bt.rg_lyMode->setItemIndex(2);
    bt.rg_lyPswcheck->setItemIndex(2);
    click(*windows, bt.btn_SetlyPara);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return s.bluetooth.name == "Shop-BT" && s.bluetooth.dualModeName == "Shop-BT" &&
            s.bluetooth.mode == 3 && s.bluetooth.passwordCheck == 0;
    }));
    bt.cbb_lyWorkMode->setCurrentIndex(0);
    click(*windows, bt.btn_lyWorkMode);
    QVERIFY(
        waitForPrinter([](const sim::PrinterSettings& s) { return s.bluetooth.workMode == "high speed"; }));
    bt.edt_lyTestTxt->setText(QStringLiteral("AT+NAME?"));
    click(*windows, bt.btn_SendLYTxt);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return !s.bluetooth.controlTexts.empty() && s.bluetooth.controlTexts.back() == "AT+NAME?";
    }));
    // Refused in the window's language.
    bt.edt_lyTestTxt->setText(QString(2000, QChar('A')));
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    bt.btn_SendLYTxt->click();
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    QVERIFY(prompter.messages[0].rfind("蓝牙控制指令太长：2000 字节", 0) == 0);
    prompter.messages.clear();
    // Both names empty: nothing happens.
    bt.edt_smlyName->clear();
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    bt.btn_SetlyPara->click();
    QVERIFY(!windows->main().worker().busy());
    QVERIFY(prompter.messages.empty());
}

void ParamWindowTest::wifiPageSetsThePrinter()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    WifiPage& wifi = *para.TabSheet3;
    wifi.edt_GuangboName->setText(QStringLiteral("PrinterAP"));
    wifi.edt_APPsw->setText(QStringLiteral("secret12"));
    click(*windows, wifi.btn_SetAPMode);
    QVERIFY(
        waitForPrinter([](const sim::PrinterSettings& s) { return s.wifi.accessPointName == "PrinterAP"; }));
    wifi.edt_SSID->setText(QStringLiteral("shop"));
    wifi.edt_StaModePsw->setText(QStringLiteral("pass"));
    wifi.edt_IPaddress->setText(QStringLiteral("10.0.0.9"));
    click(*windows, wifi.btn_SetSTAMode);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return s.wifi.station.ssid == "shop" && s.wifi.station.addressing == "static" &&
            s.wifi.station.ip == std::array<std::uint8_t, 4>{10, 0, 0, 9} && s.wifi.station.port == 9100;
    }));
    click(*windows, wifi.btn_CloseWifi);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return !s.wifi.enabled; }));
    // An empty port stops the station button before anything is sent.
    wifi.edt_Port->clear();
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    wifi.btn_SetSTAMode->click();
    QCOMPARE(prompter.messages, std::vector<std::string>{"端口：请输入 0 到 65535 之间的整数"});
}

void ParamWindowTest::networkPageSetsThePrinter()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    NetworkPage& net = *para.TabSheet4;
    net.edt_NetIPAddress->setText(QStringLiteral("10.1.2.3"));
    click(*windows, net.btn_NetWorkSetIP);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return s.ethernet.ip == std::array<std::uint8_t, 4>{10, 1, 2, 3};
    }));
    net.edt_Subnetmask->setText(QStringLiteral("255.255.0.0"));
    click(*windows, net.btn_Subnetmask);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return s.ethernet.mask == std::array<std::uint8_t, 4>{255, 255, 0, 0};
    }));
    net.edt_gatewayt->setText(QStringLiteral("10.1.0.1"));
    click(*windows, net.btn_gatewayt);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return s.ethernet.gateway == std::array<std::uint8_t, 4>{10, 1, 0, 1};
    }));
    net.edt_macaddo->setText(QStringLiteral("A0"));
    click(*windows, net.btn_netgatewayt);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return s.ethernet.macTail == std::array<std::uint8_t, 4>{0xA0, 0x66, 0x67, 0x68};
    }));
    net.edt_Netport->setText(QStringLiteral("65535"));
    click(*windows, net.btn_Netport);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.ethernet.port == 65535; }));
}

void ParamWindowTest::infraredPageSetsThePrinter()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    InfraredPage& ir = *para.TabSheet5;
    ir.cbb_InfraredBaurate->setCurrentIndex(4);
    ir.cbb_irdaProtecl->setCurrentIndex(1);
    ir.rb_notInfrared->click();
    click(*windows, ir.btn_SetInfraredPara);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
        return !s.infrared.enabled && s.infrared.speed == 115200 && s.infrared.protocol == 1;
    }));
}

void ParamWindowTest::blackMarkPageSetsThePrinter()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    BlackMarkPage& bm = *para.TabSheet8;
    click(*windows, bm.btn__Set_black_mode);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.blackMark.enabled; }));
    bm.edt__Black_look_distance->setText(QStringLiteral("1200"));
    click(*windows, bm.btn_But_Black_look_dis_set);
    QVERIFY(
        waitForPrinter([](const sim::PrinterSettings& s) { return s.blackMark.searchDistanceMm == 1200; }));
    bm.edt__Black_width->setText(QStringLiteral("80"));
    click(*windows, bm.btn__Black_width_set);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.blackMark.widthMm == 80; }));
    bm.edt_cutter_optocoupler->setText(QStringLiteral("1700"));
    click(*windows, bm.btn_1);
    QVERIFY(
        waitForPrinter([](const sim::PrinterSettings& s) { return s.blackMark.feedAfterMarkMm == 1700; }));
    QVERIFY(!bm.btn_2->isEnabled());
    click(*windows, bm.btn_5);
    QVERIFY(waitForState([](const sim::PrinterState& s) {
        return std::any_of(s.printed.begin(), s.printed.end(), [](const sim::PrintedItem& item) {
            return item.kind == sim::PrintedItem::Kind::QrCode;
        });
    }));
    const auto cuts = [](const sim::PrinterState& s) {
        return std::count_if(s.printed.begin(), s.printed.end(), [](const sim::PrintedItem& item) {
            return item.kind == sim::PrintedItem::Kind::Cut;
        });
    };
    const auto feeds = [](const sim::PrinterState& s) {
        return std::count_if(s.printed.begin(), s.printed.end(), [](const sim::PrintedItem& item) {
            return item.kind == sim::PrintedItem::Kind::FormFeed;
        });
    };
    click(*windows, bm.btn_3);
    QVERIFY(waitForState([&](const sim::PrinterState& s) { return feeds(s) == 2; }));
    click(*windows, bm.btn_4);
    QVERIFY(waitForState([&](const sim::PrinterState& s) { return feeds(s) == 3 && cuts(s) == 2; }));
    click(*windows, bm.btn__Cance_black_mark);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return !s.blackMark.enabled; }));
    QVERIFY(jsonHas(printer->stateJson(), "feedAfterMarkMm", "1700"));
}

// An apply from the command line takes serial numbers while the window is
// open: closing the window saves what the user changed, not the old number.
void ParamWindowTest::aSerialNumberSavedMeanwhileIsNotPutBack()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    writeSettings("[ParaDefault]\r\nDeviceSerialNo=100\r\nsleepTime=600\r\n");
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    QCOMPARE(para.TabSheet7->edt_DeviceSerialNo->text(), QStringLiteral("100"));
    para.TabSheet1->edt_sleepTime->setText(QStringLiteral("300"));
    const std::string path = (dataDir / "sysconfig.ini").string();
    const auto taken =
        pst::requests::ReserveSerialNumbers(path, pst::requests::Profile::read(IniDocument::load(path)), 3);
    QCOMPARE(taken.error, std::string());

    para.close();
    const std::string file = readText(dataDir / "sysconfig.ini");
    QVERIFY2(file.find("\nDeviceSerialNo=103\r\n") != std::string::npos, file.c_str());
    QVERIFY2(file.find("\nsleepTime=300\r\n") != std::string::npos, file.c_str());
}

void ParamWindowTest::valuesSurviveARestart()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    {
        auto windows = open();
        MainWindow& main = windows->main();
        ParamWindow& para = showPara(*windows);
        QVERIFY(para.isVisible());
        QVERIFY(main.isHidden());
        para.TabSheet1->cbb_Codepage->setCurrentIndex(6);
        click(*windows, para.TabSheet1->btn_SetCodepage);
        para.TabSheet2->edt_lyName->setText(qs("收银台"));
        click(*windows, para.TabSheet2->btn_SetlyPara);
        para.TabSheet8->edt__Black_look_distance->setText(QStringLiteral("800"));
        click(*windows, para.TabSheet8->btn_But_Black_look_dis_set);
        QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) {
            return s.codePage == 2 && s.blackMark.searchDistanceMm == 800 && !s.bluetooth.name.empty() &&
                s.bluetooth.name != "Printer";
        }));
        // The printer keeps the name as the GBK bytes it received; its state
        // shows them decoded.
        const std::string state = printer->stateJson();
        QVERIFY(jsonHas(state, "name", "\"收银台\"") || jsonHas(state, "name", "\"\\u6536\\u94f6\\u53f0\""));
        // Screenshots of each page for the documentation, when asked for.
        if (const QByteArray folder = qgetenv("PST_PARA_SCREENSHOTS"); !folder.isEmpty()) {
            const char* names[] = {"basic",    "bluetooth", "wifi",      "network",
                                   "infrared", "download",  "blackmark", "product"};
            for (int tab = 0; tab < para.PageControl1->count(); ++tab) {
                para.PageControl1->setCurrentIndex(tab);
                QTest::qWait(100);
                QVERIFY(para.grab().save(QString::fromUtf8(folder) + "/param-" + names[tab] + ".png"));
            }
        }
        para.close();
        main.close();
    }
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    QCOMPARE(para.TabSheet1->cbb_Codepage->currentText(), QStringLiteral("CP850:Latin1;Western European"));
    QCOMPARE(para.TabSheet2->edt_lyName->text(), qs("收银台"));
    QCOMPARE(para.TabSheet8->edt__Black_look_distance->text(), QStringLiteral("800"));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ParamWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "param_window_test.moc"

namespace {

// The name a screen reader announces for each control of `window` that has
// none, by object name.
QStringList controlsWithoutAName(QWidget& window)
{
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // The tab bar's scroll buttons are Qt's own.
        const bool partOfAnother = qobject_cast<QComboBox*>(widget->parentWidget()) ||
            qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) ||
            qobject_cast<QTabBar*>(widget->parentWidget());
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
            qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QListWidget*>(widget);
        if (!control || partOfAnother || widget->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << widget->objectName() + QStringLiteral(" (") + widget->metaObject()->className() + " in " +
                    widget->parentWidget()->metaObject()->className() + ")";
    }
    return unnamed;
}

}  // namespace

void ParamWindowTest::everyControlHasAnAccessibleName()
{
    auto windows = open();
    MainWindow& main = windows->main();
    ParamWindow& para = showPara(*windows);
    for (int language : {0, 1}) {
        main.cbb_Language->setCurrentIndex(language);
        emit main.cbb_Language->activated(language);
        const QStringList unnamed = controlsWithoutAName(main) + controlsWithoutAName(para);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }
    // An edit is named after its label, in the language shown.
    QAccessibleInterface* sleep = QAccessible::queryAccessibleInterface(para.TabSheet1->edt_sleepTime);
    QCOMPARE(sleep->text(QAccessible::Name), QStringLiteral("Sleep time"));
}

void ParamWindowTest::aClickThatLeavesABadAddressStillActs()
{
    PST_NEEDS_VIRTUAL_PRINTER();
    startPrinter();
    auto windows = open();
    ParamWindow& para = showPara(*windows);
    para.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&para));
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    para.PageControl1->setCurrentIndex(3);
    NetworkPage& net = *para.TabSheet4;
    auto leaveBadAddressBy = [&](QPushButton* button, bool releaseReachesTheButton) {
        net.edt_NetIPAddress->setFocus();
        QTRY_VERIFY(net.edt_NetIPAddress->hasFocus());
        net.edt_NetIPAddress->setText(QStringLiteral("192.168.1.300"));
        // A modal message box takes the release: the press alone reaches
        // the button.
        if (releaseReachesTheButton)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            QTest::mousePress(button, Qt::LeftButton);
    };

    // The address's own button: the message once, nothing sent, and the
    // focus back on the address.
    const auto before = printerTraffic();
    leaveBadAddressBy(net.btn_NetWorkSetIP, false);
    QTRY_VERIFY(net.edt_NetIPAddress->hasFocus());
    QTest::qWait(50);
    QCOMPARE(prompter.messages, std::vector<std::string>{"IP 地址：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）"});
    QCOMPARE(printerTraffic(), before);

    // Another setting's button still sets it after the message.
    net.edt_Netport->setText(QStringLiteral("9101"));
    leaveBadAddressBy(net.btn_Netport, false);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.ethernet.port == 9101; }));
    QCOMPARE(prompter.messages.size(), std::size_t{2});

    // A click that came through by itself is not made twice.
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    const auto beforeOne = printerTraffic();
    net.edt_Netport->setText(QStringLiteral("9102"));
    leaveBadAddressBy(net.btn_Netport, true);
    QVERIFY(waitForPrinter([](const sim::PrinterSettings& s) { return s.ethernet.port == 9102; }));
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    QTest::qWait(100);
    QCOMPARE(printerTraffic().second, beforeOne.second + 1);
}

void ParamWindowTest::messagesComeInTheEnglishWindowsLanguage()
{
    auto windows = open();
    MainWindow& main = windows->main();
    main.cbb_Language->setCurrentIndex(1);
    emit main.cbb_Language->activated(1);
    ParamWindow& para = showPara(*windows);
    para.PageControl1->setCurrentIndex(3);
    para.TabSheet4->edt_NetIPAddress->setText(QStringLiteral("192.168.1.300"));
    para.TabSheet4->btn_NetWorkSetIP->click();
    para.TabSheet4->edt_macaddo->setText(QStringLiteral("G1"));
    para.TabSheet4->btn_netgatewayt->click();
    QCOMPARE(prompter.messages,
             (std::vector<std::string>{
                 "IP address: enter a whole address such as 192.168.1.87 (four parts, each from 0 to 255)",
                 "MAC 3: enter a hexadecimal number from 00 to FF"}));

    // The engine's own failure, with the system's reason as it came.
    main.cbb_Comname->setEditText(QString::fromStdString((dataDir / "no-such-port").string()));
    para.PageControl1->setCurrentIndex(0);
    para.TabSheet1->btn_SetCodepage->click();
    QTRY_VERIFY_WITH_TIMEOUT(!windows->main().worker().busy(), kPrinterTimeoutMs);
    QTRY_COMPARE(para.statusPanel0->text(), QStringLiteral("Error opening serial port"));
}

void ParamWindowTest::profilesExportInTheWindowsLanguageAndImportWhatTheyHold()
{
    auto windows = open();
    MainWindow& main = windows->main();
    main.cbb_Language->setCurrentIndex(1);
    emit main.cbb_Language->activated(1);
    ParamWindow& para = showPara(*windows);
    QueuedFileChooser chooser;
    para.setFileChooser(chooser);
    para.TabSheet1->cbb_Dark->setCurrentIndex(3);
    para.TabSheet1->edt_sleepTime->setText(QStringLiteral("300"));
    // A name typed without an extension gets ".ini".
    const fs::path profile = dataDir / "shop.ini";
    chooser.savePath = QString::fromStdString((dataDir / "shop").string());
    para.btn_ExportProfile->click();
    QCOMPARE(para.statusPanel0->text(), QStringLiteral("Profile exported"));
    QVERIFY(!fs::exists(dataDir / "shop"));
    std::string text = readText(profile);
    QVERIFY(text.find("Dark=Dark\r\n") != std::string::npos);
    QVERIFY(text.find("sleepTime=300\r\n") != std::string::npos);
    // The window's own export, with its empty fields, imports without a word.
    chooser.opens = {{QString::fromStdString(profile.string())}};
    para.btn_ImportProfile->click();
    QCOMPARE(para.statusPanel0->text(), QStringLiteral("Profile imported"));
    QVERIFY(prompter.messages.empty());

    // Edited by hand: one value changed, one of a pair dropped, a key of
    // another program added. The message names the fields as the window does.
    text.replace(text.find("sleepTime=300"), 13, "sleepTime=45");
    const std::size_t powerOff = text.find("poweroffTime=");
    text.erase(powerOff, text.find("\r\n", powerOff) + 2 - powerOff);
    std::ofstream(profile, std::ios::binary) << text << "Shade=grey\r\n";
    para.TabSheet1->cbb_Dark->setCurrentIndex(0);
    para.TabSheet1->edt_sleepTime->setText(QStringLiteral("600"));
    chooser.opens = {{QString::fromStdString(profile.string())}};
    para.btn_ImportProfile->click();
    QCOMPARE(para.TabSheet1->cbb_Dark->currentIndex(), 3);
    QCOMPARE(para.TabSheet1->edt_sleepTime->text(), QStringLiteral("45"));
    QCOMPARE(para.statusPanel0->text(), QStringLiteral("Profile imported"));
    QCOMPARE(prompter.messages,
             std::vector<std::string>{"Profile imported; these entries were not taken: \n"
                                      "unknown key: Shade\n"
                                      "Sleep time: incomplete, missing Power-off time"});

    // A file that is not there changes nothing.
    chooser.opens = {{QString::fromStdString((dataDir / "none.ini").string())}};
    para.btn_ImportProfile->click();
    QCOMPARE(para.TabSheet1->edt_sleepTime->text(), QStringLiteral("45"));
    QVERIFY(prompter.messages.back().find("The file does not exist") != std::string::npos);
}
