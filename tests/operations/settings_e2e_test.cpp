// Every settings operation end to end: the worker builds and sends its
// packet to the virtual printer, which takes the setting; the success text
// shows and the link is closed again.

#include "operations/operation_fixture.h"

#include <chrono>

#include "texts/message_texts.h"
#include "protocol/settings_payloads.h"
#include "protocol/value_mappings.h"

using namespace pst;
using namespace pst::test;
using namespace std::chrono_literals;

namespace {

std::string gbk(std::string_view utf8)
{
    // What the printer stores for a Chinese name: its GBK bytes.
    BluetoothParameters p;
    p.name = std::string(utf8);
    const auto block = BluetoothBlock(p);
    const auto end = std::find(block.begin() + 1, block.begin() + 21, 0);
    return {block.begin() + 1, end};
}

}  // namespace

TEST_F(OperationFixture, CodePageIsSetWithLinkSetupAroundItAndTheLinkIsClosed)
{
    startPrinter();
    startWorker(9600, 115200);
    ASSERT_TRUE(runWith(6, CodePageByte(6)));  // "CP850:Latin1;Western European"
    EXPECT_EQ(printerSettings().codePage, 2);
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x31, 0x30, 0x80, 0x31}));
    EXPECT_EQ(printer->frames()[2].payload, (std::vector<std::uint8_t>{2}));
    EXPECT_EQ(shownStatus(), "设置代码页成功");
    EXPECT_FALSE(worker->portOpen());
    EXPECT_EQ(printer->currentSpeed(), 9600u);
    EXPECT_NE(debugLog().find("Close" + printer->devicePath()), std::string::npos);
}

TEST_F(OperationFixture, EverySettingsPacketReachesThePrinterWithItsSuccessText)
{
    startPrinter();
    startWorker(9600, 9600);

    struct Case {
        int operation;
        std::vector<std::uint8_t> block;
        const char* successKey;
        std::function<bool(const sim::PrinterSettings&)> took;
    };
    BluetoothParameters bluetooth;
    bluetooth.name = "打印机";
    bluetooth.password = "4321";
    bluetooth.modePosition = 2;
    bluetooth.passwordCheckPosition = 2;
    WifiStationParameters station;
    station.ssid = "shop";
    station.password = "secret12";
    station.ipAddress = "192.168.1.87";
    AllParameters all;
    all.codePagePosition = 3;
    all.baudRatePosition = 3;  // 9600, the speed the printer is at
    all.densityPosition = 0;
    all.fontPosition = 0;
    all.paperFeedPosition = 1;
    all.sleepSeconds = 5;
    all.powerOffSeconds = 6;

    const std::vector<Case> cases{
        {20, SwitchOptionsBlock(1, 3, true, true, 0), "sMsg12",
         [](const auto& s) { return s.optionFlags == 0xEC && s.lineFeed == 0; }},
        {9, SwitchOptionsBlock(3, 3, true, true, 1), "sMsg12",
         [](const auto& s) { return s.optionFlags == 0xED && s.lineFeed == 1; }},
        {18, ParamBlock{0x3C, 0, 0, 0, 0x20, 0x1C, 0, 0}, "sMsg10",
         [](const auto& s) { return s.sleepSeconds == 60 && s.powerOffSeconds == 7200; }},
        {19, AllParametersBlock(all), "sMsg11",
         [](const auto& s) {
             return s.codePage == 255 && s.optionFlags == 0x00 && s.lineFeed == 1 && s.sleepSeconds == 5 &&
                 s.powerOffSeconds == 6 && s.deviceSpeed == 9600;
         }},
        {11, BluetoothBlock(bluetooth), "sMsg13",
         [](const auto& s) {
             return s.bluetooth.mode == 3 && s.bluetooth.name == gbk("打印机") &&
                 s.bluetooth.dualModeName == gbk("打印机") && s.bluetooth.password == "4321" &&
                 s.bluetooth.passwordCheck == 0 && s.bluetooth.moduleType == 1;
         }},
        {12, WifiStationBlock(station), "sMsg7",
         [](const auto& s) {
             const auto& sta = s.wifi.station;
             return s.wifi.mode == "station" && sta.ssid == "shop" && sta.password == "secret12" &&
                 sta.addressing == "static" && sta.ip == std::array<std::uint8_t, 4>{192, 168, 1, 87} &&
                 sta.port == 9100;
         }},
        {21, WifiAccessPointBlock("PrinterAP", "pw"), "sMsg6",
         [](const auto& s) {
             return s.wifi.mode == "access point" && s.wifi.accessPointName == "PrinterAP";
         }},
        {14, InfraredBlock(4, false, 1), "sMsg8",
         [](const auto& s) {
             return s.infrared.speed == 115200 && !s.infrared.enabled && s.infrared.protocol == 1;
         }},
        {15, ProductBlock("POS-80", "1704269998"), "sMsg9",
         [](const auto& s) { return s.productName == "POS-80" && s.productSerial == "1704269998"; }},
        {22, BluetoothWorkModeBlock(0), "sMsg14",
         [](const auto& s) { return s.bluetooth.workMode == "high speed"; }},
        {22, BluetoothControlTextBlock("AT+VERSION"), "sMsg14",
         [](const auto& s) { return s.bluetooth.controlTexts.back() == "AT+VERSION"; }},
        {24, ParamBlock{45}, "sMsg22", [](const auto& s) { return s.recyclingSeconds == 45; }},
        {13, {}, "sMsg5", [](const auto& s) { return !s.wifi.enabled; }},
        {10, {}, "sMsg16", [](const auto& s) { return s.defaultsRestored == 1 && s.wifi.enabled; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("operation " + std::to_string(c.operation));
        ASSERT_TRUE(runWithBlock(c.operation, c.block)) << worker->status().error();
        EXPECT_EQ(shownStatus(), MessageText(c.successKey));
        EXPECT_TRUE(c.took(printerSettings()));
        EXPECT_EQ(printer->frames().back().payload, c.block);
        EXPECT_FALSE(worker->portOpen());
    }
}

TEST_F(OperationFixture, SetIpCarriesTheOperationsArgumentsInItsHeader)
{
    startPrinter();
    startWorker(9600, 9600);
    ASSERT_TRUE(runWith(5, 0x5701A8C0, 7));
    const auto frame = printer->frames().back();
    EXPECT_EQ(frame.command, 0x20);
    EXPECT_EQ(frame.arg1, 0x5701A8C0u);
    EXPECT_EQ(frame.arg2, 7u);
    EXPECT_EQ(shownStatus(), "设置IP 成功");
}

TEST_F(OperationFixture, BaudRateMovesTheDeviceSpeedAndTheNextRunOpensThere)
{
    startPrinter();
    startWorker(9600, 115200);
    ASSERT_TRUE(runWith(8, BaudRateSpeedCode(6)));  // 57600
    // No switch back to the old speed: the printer would not hear it.
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x31, 0x30, 0x81}));
    EXPECT_EQ(shownStatus(), "设置波特率成功");
    EXPECT_EQ(settings->get().deviceSpeed, 57600u);
    EXPECT_EQ(printerSettings().deviceSpeed, 57600u);
    EXPECT_FALSE(worker->portOpen());

    ASSERT_TRUE(run(1));
    EXPECT_TRUE(has(LinkFound));
    EXPECT_EQ(printer->currentSpeed(), 57600u);
    EXPECT_EQ(printer->ignoredBytes(), 0u);
}

TEST_F(OperationFixture, AllParametersWithANewSpeedKeepThePrinterReachable)
{
    startPrinter();
    startWorker(9600, 115200);
    AllParameters all;
    all.baudRatePosition = 4;  // 19200
    ASSERT_TRUE(runWithBlock(19, AllParametersBlock(all)));
    EXPECT_EQ(settings->get().deviceSpeed, 19200u);
    ASSERT_TRUE(run(1));
    EXPECT_EQ(printer->currentSpeed(), 19200u);
}

TEST_F(OperationFixture, FlowControlIsABarePacketThatLeavesThePortOpen)
{
    startPrinter();
    startWorker(9600, 115200);
    aimSerialComponentAtPrinter();
    ASSERT_TRUE(runWith(42));
    EXPECT_EQ(shownStatus(), "流控设置已发送，打印机不作确认");
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.settings.flowControl == 0; }));
    ASSERT_TRUE(runWith(43));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.settings.flowControl == 1; }));
    // No link setup: no speed switch, no identify; the port stays open.
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x8D, 0x8D}));
    EXPECT_TRUE(worker->portOpen());
    const std::string log = debugLog();
    EXPECT_EQ(log.rfind("Send 18 Bytes", 0), 0u) << log;
    EXPECT_NE(log.find("02 00 8d 00 00 00 00 00    00 00 00 00 01 00 8e 00"), std::string::npos) << log;

    // The next packet operation opens the link anew.
    ASSERT_TRUE(runWith(6, 0));
    EXPECT_FALSE(worker->portOpen());
}

TEST_F(OperationFixture, BareTwoBytePairsHideTheBluetoothAndSetThe8DPair)
{
    startPrinter();
    startWorker();
    aimSerialComponentAtPrinter();
    ASSERT_TRUE(runWith(30));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.settings.bluetooth.hidden; }));
    ASSERT_TRUE(runWith(27));
    ASSERT_TRUE(printerReaches([](const auto& s) { return !s.settings.bluetooth.hidden; }));
    ASSERT_TRUE(runWith(29));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.settings.pair8D == 1; }));
    ASSERT_TRUE(runWith(26));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.settings.pair8D == 0; }));
    EXPECT_TRUE(printer->frames().empty());
    // Nobody answers them: all that is known is that they went out.
    EXPECT_EQ(shownStatus(), "命令已发送，打印机不作确认");
}

TEST_F(OperationFixture, NothingIsSentForAHandOverThatDoesNotFitItsOperation)
{
    startPrinter();
    startWorker();
    EXPECT_FALSE(runWith(20));  // no switch-options block
    EXPECT_NE(worker->status().error().find("not handed over"), std::string::npos);
    EXPECT_FALSE(runWith(8, 9));  // no speed has code 9
    EXPECT_FALSE(runWithBlock(22, std::vector<std::uint8_t>(1017, 'x')));
    EXPECT_TRUE(printer->frames().empty());
    EXPECT_EQ(debugLog().find("Open"), std::string::npos);
}

TEST_F(OperationFixture, CloseWifiPutsItsFailureIntoTheStatusLine)
{
    startWorker();  // no printer: the port cannot be opened
    EXPECT_FALSE(runWith(13));
    EXPECT_FALSE(worker->status().error().empty());
    EXPECT_EQ(shownStatus(), worker->status().error());
    EXPECT_EQ(worker->status().pendingStatus(), worker->status().error());
}

TEST_F(OperationFixture, SilentPrinterFailsTheSettingAfterThreeAttemptsAndClosesTheLink)
{
    startPrinter();
    startWorker(9600, 9600);
    messages.clear();
    finished = false;
    // The identify is answered; everything after it meets silence.
    printer->setFault({.mode = sim::FaultMode::Silent, .after = 1});
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(worker->StartOperation(Operation::SetCodePage, 2));
    ASSERT_TRUE(ui->runUntil([&] { return finished; }, 20s));
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_FALSE(has(Done));
    EXPECT_EQ(messages.back().wParam, 1);
    EXPECT_EQ(worker->status().error(), "Download Data Failed");
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x30, 0x80, 0x80, 0x80}));
    EXPECT_GE(took, 8500ms);
    EXPECT_FALSE(worker->portOpen());
    EXPECT_NE(debugLog().find("Close"), std::string::npos);
    EXPECT_NE(shownStatus(), "设置代码页成功");
}
