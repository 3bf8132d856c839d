// The raw printer commands end to end: black mark, Ethernet fields,
// interface options, logos and the test receipt reach the virtual printer,
// which acts on them; the link stays open afterwards.

#include "operations/operation_fixture.h"

#include "protocol/raw_payloads.h"

using namespace pst;
using namespace pst::test;

namespace {

using Kind = sim::PrintedItem::Kind;

std::vector<Kind> kinds(const std::vector<sim::PrintedItem>& items)
{
    std::vector<Kind> out;
    for (const auto& item : items)
        out.push_back(item.kind);
    return out;
}

}  // namespace

TEST_F(OperationFixture, BlackMarkCommandsAreOpenedAndLeaveTheLinkOpen)
{
    startPrinter();
    startWorker(9600, 115200);
    ASSERT_TRUE(runWith(31));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.settings.blackMark.enabled; }));
    // Opened: the full link setup and the switch back, then nothing closes.
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x31, 0x30, 0x31}));
    EXPECT_TRUE(worker->portOpen());
    EXPECT_EQ(debugLog().find("Close"), std::string::npos);
    EXPECT_EQ(shownStatus(), "命令已发送，打印机不作确认");

    ASSERT_TRUE(runWithBlock(33, BlackMarkDistanceBlock(1200)));
    ASSERT_TRUE(runWithBlock(34, BlackMarkWidthBlock(80)));
    ASSERT_TRUE(runWithBlock(35, FeedAfterMarkBlock(1700)));
    ASSERT_TRUE(runWith(32));
    ASSERT_TRUE(printerReaches([](const auto& s) {
        const auto& mark = s.settings.blackMark;
        return !mark.enabled && mark.searchDistanceMm == 1200 && mark.widthMm == 80 &&
            mark.feedAfterMarkMm == 1700;
    }));
    EXPECT_EQ(printer->ignoredBytes(), 0u);
}

TEST_F(OperationFixture, FindingTheMarkFeedsAndCuts)
{
    startPrinter();
    startWorker(9600, 9600);
    ASSERT_TRUE(runWith(36));
    ASSERT_TRUE(runWith(44));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.printed.size() == 3; }));
    EXPECT_EQ(kinds(printed()), (std::vector<Kind>{Kind::FormFeed, Kind::FormFeed, Kind::Cut}));
}

TEST_F(OperationFixture, TestPrintPrintsTheWholeReceipt)
{
    startPrinter();
    startWorker(9600, 115200);
    ASSERT_TRUE(runWithBlock(45, HexTextToBlock(kTestReceiptHex)));
    ASSERT_TRUE(printerReaches(
        [](const auto& s) { return !s.printed.empty() && s.printed.back().kind == Kind::Cut; }));
    const auto items = printed();
    EXPECT_EQ(
        kinds(items),
        (std::vector<Kind>{Kind::Text, Kind::Text, Kind::Text, Kind::QrCode, Kind::FormFeed, Kind::Cut}));
    EXPECT_EQ(items[0].text, "Welcome to printer BlackMark function");
    EXPECT_EQ(items[1].text, "欢迎使用黑标功能");
    EXPECT_EQ(items[2].text, "歡迎使用黑標功能");
    EXPECT_EQ(items[3].text,
              "Welcome to printer BlackMark function\n欢迎使用打印机的黑标功能\n歡迎使用印表機的黑標功能");
    EXPECT_NE(debugLog().find("Send 235 Bytes"), std::string::npos);
    EXPECT_TRUE(worker->portOpen());
}

TEST_F(OperationFixture, LogosPrintByNumberEachInItsOwnWrite)
{
    startPrinter();
    startWorker(9600, 9600);
    HandOver handOver;
    handOver.logoPrintList = "1,3";
    ASSERT_TRUE(runWith(17, 0, 0, handOver));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.printed.size() == 2; }));
    const auto items = printed();
    EXPECT_EQ(items[0].kind, Kind::Logo);
    EXPECT_EQ(items[0].number, 1u);
    EXPECT_EQ(items[1].number, 3u);
    const std::string log = debugLog();
    EXPECT_NE(log.find("1c 70 01 00"), std::string::npos);
    EXPECT_NE(log.find("1c 70 03 00"), std::string::npos);

    handOver.logoPrintList = "1,x";
    EXPECT_FALSE(runWith(17, 0, 0, handOver));
    EXPECT_EQ(debugLog().find("Open"), std::string::npos);
}

TEST_F(OperationFixture, InterfaceOptionsSetUsbTypePaperTypeAndPrintOrder)
{
    startPrinter();
    startWorker(9600, 9600);
    ASSERT_TRUE(runWith(23, 0, 0));
    ASSERT_TRUE(runWith(23, 1, 0));
    ASSERT_TRUE(runWith(23, 2, 0));
    ASSERT_TRUE(printerReaches([](const auto& s) {
        return s.settings.usbType == 0 && s.settings.paperType == 0 && s.settings.printOrder == 0xF1;
    }));
    ASSERT_TRUE(runWith(23, 2, 1));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.settings.printOrder == 0xF0; }));
    EXPECT_FALSE(runWith(23, 3, 0));
    EXPECT_FALSE(runWith(23, 2, 2));
}

TEST_F(OperationFixture, EthernetFieldsGoOutBareAtTheSpeedLastSet)
{
    startPrinter();
    startWorker(9600, 115200);
    aimSerialComponentAtPrinter();
    ASSERT_TRUE(runWithBlock(41, EthernetAddressBlock("10.0.0.2")));  // 02 inside a raw command
    ASSERT_TRUE(runWithBlock(37, EthernetAddressBlock("255.255.0.0")));
    ASSERT_TRUE(runWithBlock(38, EthernetAddressBlock("10.0.0.1")));
    ASSERT_TRUE(runWithBlock(39, EthernetPortBlock("9101")));
    ASSERT_TRUE(runWithBlock(40, EthernetMacBlock({"A0", "B1", "C2", "D3"})));
    ASSERT_TRUE(printerReaches([](const auto& s) {
        const auto& eth = s.settings.ethernet;
        return eth.ip == std::array<std::uint8_t, 4>{10, 0, 0, 2} &&
            eth.mask == std::array<std::uint8_t, 4>{255, 255, 0, 0} &&
            eth.gateway == std::array<std::uint8_t, 4>{10, 0, 0, 1} && eth.port == 9101 &&
            eth.macTail == std::array<std::uint8_t, 4>{0xA0, 0xB1, 0xC2, 0xD3};
    }));
    EXPECT_TRUE(printer->frames().empty());
    EXPECT_EQ(printer->badFrames(), 0u);
    EXPECT_TRUE(worker->portOpen());

    EXPECT_FALSE(runWithBlock(39, {0x23}));  // a field cut short is never sent
}
