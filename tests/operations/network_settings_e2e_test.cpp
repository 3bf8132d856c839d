// Settings and raw printer commands on the network link: the worker writes
// datagrams and the virtual printer's UDP port acts on them as the serial
// port would.

#include "operations/operation_fixture.h"

#include "protocol/raw_payloads.h"
#include "transport/udp_client.h"

using namespace pst;
using namespace pst::test;

namespace {

class NetworkOperationFixture : public OperationFixture {
protected:
    void startOnTheNetwork()
    {
        sim::SimOptions options;
        options.servePty = false;
        options.udpAddress = "127.0.0.1:0";
        startPrinter(options);

        ConnectionSettings s;
        s.kind = LinkKind::Network;
        s.ipAddress = "127.0.0.1";
        s.port = static_cast<std::int32_t>(printer->udpPort());
        s.deviceSpeed = 9600;
        s.transferSpeed = 9600;
        settings->set(s);
        WorkerLinks links;
        links.udpClient = std::make_shared<TUdpClient>();
        links.watchUsbDevices = false;
        createWorker(std::move(links));
    }
};

}  // namespace

TEST_F(NetworkOperationFixture, SettingsPacketsOpenedAndBareCommandsAllReachThePrinter)
{
    startOnTheNetwork();
    ASSERT_TRUE(runWith(6, 47)) << worker->status().error();
    EXPECT_EQ(shownStatus(), "设置代码页成功");
    ASSERT_TRUE(runWith(43)) << worker->status().error();
    ASSERT_TRUE(runWithBlock(41, EthernetAddressBlock("10.0.0.9"))) << worker->status().error();
    ASSERT_TRUE(runWithBlock(45, HexTextToBlock(kTestReceiptHex))) << worker->status().error();
    ASSERT_TRUE(printerReaches([](const sim::PrinterState& s) {
        return s.settings.codePage == 47 && s.settings.flowControl == 1 &&
            s.settings.ethernet.ip == std::array<std::uint8_t, 4>{10, 0, 0, 9} && !s.printed.empty() &&
            s.printed.back().kind == sim::PrintedItem::Kind::Cut;
    }));
    EXPECT_EQ(printer->badFrames(), 0u);
}
