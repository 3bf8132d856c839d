// The network link against plain sockets on the loopback address: where it
// sends, what it takes back, and the texts of its failures.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <thread>
#include <vector>

#include "transport/udp_client.h"

using namespace pst;
using namespace std::chrono_literals;

namespace {

// A test's own datagram socket on 127.0.0.1, playing the printer.
class Peer {
public:
    Peer()
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof local;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
            throw std::runtime_error("no loopback socket");
        port_ = ntohs(local.sin_port);
    }
    ~Peer() { ::close(fd_); }

    int port() const { return port_; }

    // One datagram, and who sent it.
    std::vector<std::uint8_t> receive(sockaddr_in& from)
    {
        pollfd fd{fd_, POLLIN, 0};
        if (::poll(&fd, 1, 5000) != 1)
            return {};
        std::vector<std::uint8_t> bytes(70000);
        socklen_t length = sizeof from;
        const ssize_t n =
            ::recvfrom(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
        bytes.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        return bytes;
    }

    void sendTo(int port, const std::vector<std::uint8_t>& bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

std::string failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ESocketError& e) {
        return e.what();
    }
    return "(no failure)";
}

class UdpLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        client.setHost("127.0.0.1");
        client.setPort(printer.port());
    }

    // Sends one byte so that the client has its local port, and returns it.
    int announce()
    {
        const std::uint8_t hello = 0x55;
        client.SendDatagram(&hello, 1);
        sockaddr_in from{};
        EXPECT_EQ(printer.receive(from).size(), 1u);
        return ntohs(from.sin_port);
    }

    Peer printer;
    TUdpClient client;
    std::array<std::uint8_t, 2049> buffer{};
};

}  // namespace

TEST_F(UdpLink, LocalhostInAnyCaseAndShortNumericFormsReachTheLoopbackAddress)
{
    for (const char* host : {"localhost", "LOCALHOST", "LocalHost", "127.0.0.1", "127.1"}) {
        client.setHost(host);
        const std::vector<std::uint8_t> frame{0x02, 0x00, 0x30};
        client.SendDatagram(frame.data(), frame.size());
        sockaddr_in from{};
        EXPECT_EQ(printer.receive(from), frame) << host;
        EXPECT_EQ(ntohl(from.sin_addr.s_addr), INADDR_LOOPBACK) << host;
    }
}

TEST_F(UdpLink, AQuietLinkReturnsZeroAfterTheTimeOut)
{
    client.setActive(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 150), 0u);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 140ms);
    EXPECT_LT(took, 2s);
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 0), 0u);
}

TEST_F(UdpLink, AWaitEndsWhenTheDatagramComesWhateverTheWaitBefore)
{
    const int local = announce();
    // Short, zero and long limits one after the other: each call waits as
    // long as it was asked to, not as long as the one before.
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 20), 0u);
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 0), 0u);
    std::thread late([&] {
        std::this_thread::sleep_for(50ms);
        printer.sendTo(local, {9, 8, 7});
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 10000), 3u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    late.join();
    EXPECT_EQ(buffer[0], 9);
    printer.sendTo(local, {1});
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), TUdpClient::kNoTimeLimit), 1u);
}

TEST_F(UdpLink, QueuedRepliesComeOnePerCallInOrderFromAnyPort)
{
    const int local = announce();
    Peer elsewhere;
    printer.sendTo(local, {1, 2, 3});
    elsewhere.sendTo(local, {4, 5, 6, 7});
    std::this_thread::sleep_for(50ms);  // both are queued before the first receive

    ASSERT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 1000), 3u);
    EXPECT_EQ(buffer[0], 1);
    ASSERT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 1000), 4u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), buffer.size(), 10), 0u);
}

TEST_F(UdpLink, ADatagramLongerThanTheBufferIsAFailureNotAShortReply)
{
    const int local = announce();
    printer.sendTo(local, std::vector<std::uint8_t>(100, 0xAB));
    EXPECT_EQ(failureOf([&] { client.ReceiveDatagram(buffer.data(), 16, 1000); }),
              "Socket Error # " + std::to_string(EMSGSIZE) + "\r\nMessage too long.");

    // Asking who sent it, the stranger's datagram is told as one byte too
    // long, its start kept, and the next reply still comes.
    printer.sendTo(local, std::vector<std::uint8_t>(100, 0xCD));
    printer.sendTo(local, {7});
    DatagramSender from;
    buffer.fill(0);
    ASSERT_EQ(client.ReceiveDatagram(buffer.data(), 16, 1000, from), 17u);
    EXPECT_EQ(buffer[15], 0xCD);
    EXPECT_EQ(buffer[16], 0);
    EXPECT_EQ(from.port, printer.port());
    EXPECT_EQ(client.ReceiveDatagram(buffer.data(), 16, 1000, from), 1u);
}

TEST_F(UdpLink, ActivationKeepsItsSocketUntilDeactivated)
{
    client.setActive(true);
    EXPECT_TRUE(client.Active());
    const int local = announce();
    client.setActive(true);
    EXPECT_EQ(announce(), local);
    client.setActive(false);
    client.setActive(false);
    EXPECT_FALSE(client.Active());
    EXPECT_EQ(client.localPort(), 0);
    // A send or receive without activation makes its own socket.
    announce();
    EXPECT_TRUE(client.Active());
}

TEST_F(UdpLink, SendFailuresHaveTheirOwnTexts)
{
    client.setHost("no such host.invalid");
    const std::uint8_t byte = 0;
    const std::string unresolved = failureOf([&] { client.SendDatagram(&byte, 1); });
    EXPECT_EQ(unresolved.rfind("Socket Error # ", 0), 0u) << unresolved;
    EXPECT_NE(unresolved.find("\r\n"), std::string::npos);

    client.setHost("127.0.0.1");
    const std::vector<std::uint8_t> huge(70000, 0);
    EXPECT_EQ(failureOf([&] { client.SendDatagram(huge.data(), huge.size()); }), "Package Size Too Big.");

    client.setPort(70000);  // would otherwise wrap to another port
    EXPECT_EQ(failureOf([&] { client.SendDatagram(&byte, 1); }), socketErrorText(EINVAL));
}

TEST(SocketErrorText, CodeLineBreakAndDescription)
{
    EXPECT_EQ(socketErrorText(ECONNRESET),
              "Socket Error # " + std::to_string(ECONNRESET) + "\r\nConnection reset by peer.");
    EXPECT_EQ(socketErrorDescription(ETIMEDOUT), "Connection timed out.");
    EXPECT_EQ(socketErrorDescription(ECONNREFUSED), "Connection refused.");
    EXPECT_EQ(socketErrorText(99999), "Socket Error # 99999\r\n");
}
