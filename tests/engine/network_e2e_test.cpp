// The worker on the network link against the virtual printer's UDP port:
// the link test's texts, the exchanges' shapes and waits, and the failures
// a network brings.

#include "engine/worker_fixture.h"

#include <array>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/command_packet.h"
#include "engine/exchanges.h"
#include "transport/udp_client.h"

using namespace pst;
using namespace pst::test;
using namespace std::chrono_literals;

namespace {

class NetworkFixture : public WorkerFixture {
protected:
    void startUdpPrinter(sim::SimOptions options = {})
    {
        options.servePty = false;
        options.udpAddress = "127.0.0.1:0";  // a free port, read back below
        startPrinter(options);
        port = static_cast<int>(printer->udpPort());
        address = "127.0.0.1:" + std::to_string(port);
    }

    void startNetworkWorker(const std::string& host = "127.0.0.1", bool withClient = true)
    {
        ConnectionSettings s;
        s.kind = LinkKind::Network;
        s.ipAddress = host;
        s.port = port;
        s.deviceSpeedText = "9600";
        s.transferSpeedText = "9600";
        settings->set(s);
        WorkerLinks links;
        if (withClient)
            links.udpClient = client;
        links.watchUsbDevices = false;
        createWorker(std::move(links));
    }

    std::size_t count(const std::string& text) const
    {
        const std::string log = debugLog();
        std::size_t n = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    }

    int port = 0;
    std::string address;
    std::shared_ptr<TUdpClient> client = std::make_shared<TUdpClient>();
};

}  // namespace

TEST_F(NetworkFixture, LinkTestShowsTheAddressAndIdentifiesThePrinter)
{
    startUdpPrinter({.model = "NET58"});
    startNetworkWorker();
    EXPECT_TRUE(run(1));
    EXPECT_EQ(ids(), (std::vector<unsigned>{LinkFound, Done}));
    EXPECT_EQ(statusTexts, (std::vector<std::string>{"Checking" + address, address + " Found"}));
    EXPECT_EQ(worker->DeviceModel(), "NET58");
    // The identify request carries its check byte on every link; the reply
    // datagram is logged as it came. No port lines on this link.
    const std::string log = debugLog();
    EXPECT_EQ(log.rfind("Send 25 Bytes", 0), 0u) << log;
    EXPECT_EQ(count("Receive 25 Bytes"), 1u);
    EXPECT_EQ(count("Open"), 0u);
    EXPECT_EQ(count("Close"), 0u);
}

TEST_F(NetworkFixture, ConfirmedSendLeavesOutTheCheckByte)
{
    startUdpPrinter();
    startNetworkWorker();
    std::uint32_t length = 99;
    ASSERT_TRUE(runExchange([&](TCommThread& w) {
        length = ConfirmedSend(w, 0x80, 0, kConfirmedSendAttempts, std::vector<std::uint8_t>{0x0B});
        ConfirmedSend(w, 0x35, 0x1000, kConfirmedSendAttempts, std::vector<std::uint8_t>(256, 0xA5));
    }));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(count("Send 17 Bytes"), 1u);
    EXPECT_EQ(count("Send 272 Bytes"), 1u);  // a 256-byte block
    EXPECT_EQ(count("Receive 16 Bytes"), 2u);
    const auto frames = printer->frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].payload, (std::vector<std::uint8_t>{0x0B}));
    EXPECT_EQ(frames[2].arg1, 0x1000u);
    EXPECT_EQ(frames[2].payload, std::vector<std::uint8_t>(256, 0xA5));
}

TEST_F(NetworkFixture, ASilentPrinterFailsAfterThreeOneSecondWaits)
{
    startUdpPrinter();
    startNetworkWorker();
    std::chrono::steady_clock::duration took{};
    EXPECT_FALSE(runExchange([&](TCommThread& w) {
        printer->setFault({.mode = sim::FaultMode::Silent});
        const auto start = std::chrono::steady_clock::now();
        try {
            ConfirmedSend(w, 0x79, 0, kConfirmedSendAttempts, {});
        } catch (...) {
            took = std::chrono::steady_clock::now() - start;
            throw;
        }
    }));
    EXPECT_EQ(worker->Status().error(), "Download Data Failed");
    EXPECT_GE(took, 2900ms);
    EXPECT_LT(took, 4500ms);
    EXPECT_EQ(count("Send 16 Bytes"), 3u);
}

TEST_F(NetworkFixture, AReplyFromAnotherPortIsAccepted)
{
    startUdpPrinter({.udpReplyFromOtherPort = true});
    startNetworkWorker();
    EXPECT_TRUE(run(1));
    EXPECT_EQ(worker->DeviceModel(), "PNF80");
}

TEST_F(NetworkFixture, TwoQueuedRepliesComeBackOnePerReceive)
{
    startUdpPrinter();
    startNetworkWorker();
    std::vector<std::size_t> lengths;
    ASSERT_TRUE(runExchange([&](TCommThread& w) {
        const auto identify =
            buildCommandPacket(0x30, 0, 0, std::vector<std::uint8_t>{1, 2, 4, 8, 16, 32, 64, 128});
        const auto flowControl = buildCommandPacket(0x8D, 0, 0, std::vector<std::uint8_t>{1});
        w.WriteBytes(identify.data(), identify.size());
        w.WriteBytes(flowControl.data(), flowControl.size());
        printer->waitFor([](const sim::PrinterState& s) { return s.repliesSent >= 3; }, 5000);
        std::array<std::uint8_t, 2049> datagram{};
        for (int i = 0; i < 3; ++i)
            lengths.push_back(client->ReceiveDatagram(datagram.data(), datagram.size(), 100));
    }));
    EXPECT_EQ(lengths, (std::vector<std::size_t>{25, 16, 0}));
}

TEST_F(NetworkFixture, AnUnresolvableHostEndsInTheTimeOutWithTheSocketErrorAsCause)
{
    startUdpPrinter();
    startNetworkWorker("no such host.invalid");
    EXPECT_FALSE(run(1));
    EXPECT_EQ(worker->Status().error(), "Connecting Failed");
    const std::string cause = worker->Status().failureCause();
    EXPECT_EQ(cause.rfind("Received Failed (the datagram was not sent: Socket Error # ", 0), 0u) << cause;
    EXPECT_EQ(printer->frames().size(), 0u);
}

TEST_F(NetworkFixture, WithoutAUdpClientTheNetworkLinkSaysSo)
{
    startUdpPrinter();
    startNetworkWorker("127.0.0.1", false);
    EXPECT_FALSE(run(1));
    EXPECT_NE(worker->Status().failureCause().find("no UDP client"), std::string::npos);
    EXPECT_FALSE(worker->PortOpen());
}

TEST_F(NetworkFixture, AReplyShorterThanItsHeaderAnnouncesIsNotTaken)
{
    // A peer of the test's own that answers every request with a header
    // announcing 4 payload bytes: first with only 2 of them, then whole.
    const int peer = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    ASSERT_EQ(::bind(peer, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
    ASSERT_EQ(::getsockname(peer, reinterpret_cast<sockaddr*>(&local), &length), 0);
    port = ntohs(local.sin_port);
    std::thread answering([peer] {
        auto reply = buildCommandPacket(0x80, 0, 0, std::vector<std::uint8_t>{9, 8, 7, 6});
        for (std::size_t size : {reply.size() - 3, reply.size()}) {
            pollfd fd{peer, POLLIN, 0};
            if (::poll(&fd, 1, 5000) != 1)
                return;
            std::uint8_t request[2049];
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            ::recvfrom(peer, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
            ::sendto(peer, reply.data(), size, 0, reinterpret_cast<sockaddr*>(&from), fromLength);
        }
    });

    startNetworkWorker();
    client->SetHost("127.0.0.1");
    client->SetPort(port);
    std::uint32_t n = 0;
    std::array<std::uint8_t, 8> payload{};
    finished = false;
    ASSERT_TRUE(worker->StartCustom([&](TCommThread& w) {
        w.Guarded([&] { n = ConfirmedSend(w, 0x80, 0, 2, std::vector<std::uint8_t>{1}, 0, payload); });
    }));
    ASSERT_TRUE(ui->runUntil([&] { return finished; }, 10s));
    answering.join();
    ::close(peer);
    EXPECT_TRUE(has(Done));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(payload[0], 9);
    EXPECT_EQ(payload[3], 6);
    EXPECT_EQ(count("Send 17 Bytes"), 2u);
    EXPECT_EQ(count("Receive 18 Bytes"), 1u);  // logged, not taken
    EXPECT_EQ(count("Receive 21 Bytes"), 1u);
}
