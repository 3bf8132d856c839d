// The virtual printer's network port: datagrams as the tool sends them, the
// port its replies come from, and serving the serial line at the same time.

#include "cli_options.h"
#include "host_port.h"
#include "virtual_printer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pst::sim::test {
namespace {

// The tool's end: one socket on the loopback address.
class Host {
public:
    Host()
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0)
            throw std::runtime_error("no socket");
    }
    ~Host() { ::close(fd_); }

    void send(unsigned port, const Bytes& bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    // One datagram within the time, and the port it came from.
    Bytes receive(unsigned& fromPort, int timeoutMs = 2000)
    {
        pollfd fd{fd_, POLLIN, 0};
        if (::poll(&fd, 1, timeoutMs) != 1)
            return {};
        Bytes bytes(4096);
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n =
            ::recvfrom(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
        bytes.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        fromPort = ntohs(from.sin_port);
        return bytes;
    }

private:
    int fd_ = -1;
};

SimOptions udpOnly()
{
    SimOptions options;
    options.servePty = false;
    options.udpAddress = "127.0.0.1:0";
    return options;
}

}  // namespace

TEST(PrinterUdpPort, AnswersFromThePortItWasAskedOn)
{
    VirtualPrinter printer(udpOnly());
    printer.start();
    ASSERT_NE(printer.udpPort(), 0u);
    EXPECT_EQ(printer.devicePath(), "");

    Host host;
    host.send(printer.udpPort(), identifyPacket());
    unsigned from = 0;
    const Bytes reply = host.receive(from);
    ASSERT_EQ(reply.size(), 25u);
    EXPECT_TRUE(headerCheckOk(reply));
    EXPECT_EQ(from, printer.udpPort());

    printer.setUdpReplyFromOtherPort(true);
    host.send(printer.udpPort(), identifyPacket());
    EXPECT_EQ(host.receive(from).size(), 25u);
    EXPECT_NE(from, printer.udpPort());
}

TEST(PrinterUdpPort, TakesTheFrameWithoutItsCheckByteAndEachDatagramAlone)
{
    VirtualPrinter printer(udpOnly());
    printer.start();
    Host host;
    unsigned from = 0;

    Bytes unchecked = packet(0x80, 0, 0, {0x0B});
    unchecked.pop_back();  // as the confirmed send leaves it on the network
    host.send(printer.udpPort(), unchecked);
    EXPECT_EQ(host.receive(from).size(), 16u);
    ASSERT_EQ(printer.frames().size(), 1u);
    EXPECT_EQ(printer.frames().back().payload, Bytes{0x0B});

    // Half a frame in one datagram and the rest in the next are no frame.
    const Bytes whole = packet(0x35, 0x10, 0, Bytes(40, 0x5A));
    host.send(printer.udpPort(), Bytes(whole.begin(), whole.begin() + 20));
    host.send(printer.udpPort(), Bytes(whole.begin() + 20, whole.end()));
    EXPECT_TRUE(host.receive(from, 200).empty());
    EXPECT_EQ(printer.frames().size(), 1u);
    EXPECT_GE(printer.badFrames(), 1u);

    host.send(printer.udpPort(), whole);  // the whole frame with its check byte
    EXPECT_EQ(host.receive(from).size(), 16u);
    EXPECT_EQ(printer.frames().back().payload, Bytes(40, 0x5A));
}

TEST(PrinterUdpPort, ServesTheSerialLineAtTheSameTime)
{
    SimOptions options = udpOnly();
    options.servePty = true;
    VirtualPrinter printer(options);
    printer.start();
    HostPort serial(printer.devicePath());
    Host network;

    serial.send(identifyPacket());
    network.send(printer.udpPort(), packet(0x8D, 0, 0, {1}));
    unsigned from = 0;
    EXPECT_EQ(network.receive(from).size(), 16u);
    EXPECT_EQ(serial.readReply().size(), 25u);
}

TEST(PrinterUdpPort, CommandLineOptions)
{
    auto parsed = parseCommandLine({"--udp", "127.0.0.1:5100", "--no-pty", "--udp-other-port"});
    ASSERT_EQ(parsed.action, CommandLine::Action::Run) << parsed.error;
    EXPECT_EQ(parsed.options.udpAddress, "127.0.0.1:5100");
    EXPECT_FALSE(parsed.options.servePty);
    EXPECT_TRUE(parsed.options.udpReplyFromOtherPort);

    EXPECT_EQ(parseCommandLine({"--no-pty"}).action, CommandLine::Action::Error);
    EXPECT_EQ(parseCommandLine({"--udp", "127.0.0.1"}).action, CommandLine::Action::Error);
    EXPECT_EQ(parseCommandLine({"--udp", "127.0.0.1:70000"}).action, CommandLine::Action::Error);
    EXPECT_THROW(VirtualPrinter({.servePty = false}).start(), std::runtime_error);
}

}  // namespace pst::sim::test
