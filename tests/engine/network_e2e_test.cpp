// The worker on the network link against the virtual printer's UDP port:
// the link test's texts, the exchanges' shapes and waits, and the failures
// a network brings.

#include "engine/worker_fixture.h"

#include <array>
#include <atomic>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/command_packet.h"
#include "protocol/downloads.h"
#include "protocol/group_address.h"
#include "protocol/identify.h"
#include "engine/exchanges.h"
#include "engine/link_setup.h"
#include "operations/operation.h"
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
        s.deviceSpeed = 9600;
        s.transferSpeed = 9600;
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

// A datagram socket of the test's own on a loopback address.
class LoopbackSocket {
public:
    explicit LoopbackSocket(const char* host)
    {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, host, &local.sin_addr);
        socklen_t length = sizeof local;
        EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length);
        port_ = ntohs(local.sin_port);
    }
    ~LoopbackSocket() { ::close(fd_); }
    int port() const { return port_; }
    // The port a datagram came from; 0 when none came in time.
    int receive(int timeoutMs)
    {
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) != 1)
            return 0;
        std::uint8_t bytes[2049];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        ::recvfrom(fd_, bytes, sizeof bytes, 0, reinterpret_cast<sockaddr*>(&from), &length);
        return ntohs(from.sin_port);
    }
    void sendTo(int toPort, const std::vector<std::uint8_t>& bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(toPort));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

private:
    int fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int port_ = 0;
};

// What a spoofer sends: a perfect identify reply naming its own model.
std::vector<std::uint8_t> evilIdentifyReply()
{
    return buildCommandPacket(kCommandIdentify, 0, 0,
                              std::vector<std::uint8_t>{'E', 'V', 'I', 'L', 0, 0, 0, 0});
}

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
    EXPECT_EQ(worker->status().error(), "Download Data Failed");
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
    ASSERT_TRUE(runExchange([&](TCommThread&) {
        const auto identify =
            buildCommandPacket(0x30, 0, 0, std::vector<std::uint8_t>{1, 2, 4, 8, 16, 32, 64, 128});
        const auto flowControl = buildCommandPacket(0x8D, 0, 0, std::vector<std::uint8_t>{1});
        // Sent past the link, which would drop the first reply as stale.
        client->SendDatagram(identify.data(), identify.size());
        client->SendDatagram(flowControl.data(), flowControl.size());
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
    EXPECT_EQ(worker->status().error(), "Connecting Failed");
    const std::string cause = worker->status().failureCause();
    EXPECT_EQ(cause.rfind("Received Failed (the datagram was not sent: Socket Error # ", 0), 0u) << cause;
    EXPECT_EQ(printer->frames().size(), 0u);
}

TEST_F(NetworkFixture, WithoutAUdpClientTheNetworkLinkSaysSo)
{
    startUdpPrinter();
    startNetworkWorker("127.0.0.1", false);
    EXPECT_FALSE(run(1));
    EXPECT_NE(worker->status().failureCause().find("no UDP client"), std::string::npos);
    EXPECT_FALSE(worker->portOpen());
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
    client->setHost("127.0.0.1");
    client->setPort(port);
    std::uint32_t n = 0;
    std::array<std::uint8_t, 8> payload{};
    finished = false;
    ASSERT_TRUE(worker->startCustom([&](TCommThread& w) {
        w.guarded([&] { n = ConfirmedSend(w, 0x80, 0, 2, std::vector<std::uint8_t>{1}, 0, payload); });
    }));
    ASSERT_TRUE(ui->runUntil([&] { return finished; }, 10s));
    answering.join();
    ::close(peer);
    EXPECT_TRUE(has(Done));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(payload[0], 9);
    EXPECT_EQ(payload[3], 6);
    EXPECT_EQ(count("Send 17 Bytes"), 2u);
    EXPECT_EQ(count("Dropped 18 Bytes"), 1u);  // logged, not taken
    EXPECT_EQ(count("Receive 21 Bytes"), 1u);
}

TEST_F(NetworkFixture, WithoutAPrinterRepliesFromAnotherAddressAreDropped)
{
    // Nobody answers at the printer's address; a sender on another loopback
    // address answers every request there, seen or not, at once.
    LoopbackSocket silent("127.0.0.1");
    port = silent.port();
    LoopbackSocket spoofer("127.0.0.2");
    std::atomic<bool> stop{false};
    std::thread spraying([&] {
        while (!stop)
            if (const int toolPort = silent.receive(50))
                for (int i = 0; i < 3; ++i)
                    spoofer.sendTo(toolPort, evilIdentifyReply());
    });
    startNetworkWorker();
    EXPECT_FALSE(run(1));
    stop = true;
    spraying.join();
    EXPECT_EQ(worker->status().error(), "Connecting Failed");
    EXPECT_NE(worker->DeviceModel(), "EVIL");
    EXPECT_GE(count("from 127.0.0.2:" + std::to_string(spoofer.port()) + ": not the printer's address"), 1u)
        << debugLog();
}

TEST_F(NetworkFixture, TheRealPrintersReplyWinsOverASpoofersFromAnotherAddress)
{
    startUdpPrinter();
    startNetworkWorker();
    LoopbackSocket spoofer("127.0.0.2");
    std::string model;
    ASSERT_TRUE(runExchange([&](TCommThread& w) {
        // The tool's port is known once it has sent; a flood follows.
        for (int i = 0; i < 20; ++i)
            spoofer.sendTo(client->localPort(), evilIdentifyReply());
        Identify(w);
        model = w.DeviceModel();
    }));
    EXPECT_EQ(model, "PNF80");
    EXPECT_GE(count("not the printer's address"), 1u);
}

TEST_F(NetworkFixture, ASpoiltHeaderOrPayloadFailsAsOnTheSerialLine)
{
    for (const auto fault : {sim::FaultMode::BadHeader, sim::FaultMode::BadPayload}) {
        startUdpPrinter({.fault = {.mode = fault}});
        startNetworkWorker();
        EXPECT_FALSE(run(1)) << sim::faultModeName(fault);
        EXPECT_EQ(worker->status().error(), "Connecting Failed");
        EXPECT_GE(count(fault == sim::FaultMode::BadHeader ? "header check failed" : "payload check failed"),
                  1u);
        worker.reset();
    }
}

TEST_F(NetworkFixture, LateAcknowledgementsAreNotTakenForTheNextBlockAndVerifyReadsItsOwn)
{
    // The first two block replies come 1.5 s late, after the one-second
    // wait: each is then the answer to a request already sent again.
    startUdpPrinter({.fault = {.mode = sim::FaultMode::Late, .count = 2, .after = 1, .lateMs = 1500}});
    startNetworkWorker();
    std::vector<std::uint8_t> font(4 * 256);
    for (std::size_t i = 0; i < font.size(); ++i)
        font[i] = static_cast<std::uint8_t>(i / 256 + 1);
    const auto path = folder / "font.bin";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(font.data()), 1024);
    HandOver handOver;
    handOver.downloadList.push_back(FontDownloadRow(path.string(), 0x100000));
    handOver.verify = true;
    finished = false;
    ASSERT_TRUE(worker->StartOperation(Operation::FontDownload, 0, 0, handOver));
    ASSERT_TRUE(ui->runUntil([&] { return finished; }, 30s));
    EXPECT_TRUE(has(Done)) << worker->status().error() << " " << worker->status().failureCause();
    std::vector<std::uint8_t> stored;
    printer->waitFor([&](const sim::PrinterState& s) {
        stored = s.flash.read(0x100000, font.size());
        return true;
    }, 0);
    EXPECT_EQ(stored, font);
    // The late replies came to a later request and were left there.
    EXPECT_GE(count("answers another request") + count("came before the request"), 1u) << debugLog();
}

TEST_F(NetworkFixture, BroadcastAndMulticastAddressesAreRefusedBeforeAnythingIsSent)
{
    for (const char* group : {"255.255.255.255", "224.0.0.1"}) {
        startNetworkWorker(group);
        EXPECT_FALSE(run(1)) << group;
        EXPECT_NE(worker->status().failureCause().find(kGroupAddressText), std::string::npos)
            << worker->status().failureCause();
        EXPECT_EQ(client->localPort(), 0) << "a datagram was sent to " << group;
        worker.reset();
    }
}
