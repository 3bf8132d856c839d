#include "transport/datagram_fan_out_system.h"

#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "transport/udp_client.h"

namespace pst::fan_out {

void prepare() { }

QuestionSocket ask(const DatagramPeer& peer, std::span<const std::uint8_t> question, int& error)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = errno;
        return kNoSocket;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(peer.address);
    to.sin_port = htons(peer.port);
    ssize_t sent;
    do {
        sent = ::sendto(fd, question.data(), question.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        error = errno;
        ::close(fd);
        return kNoSocket;
    }
    return fd;
}

bool outOfSockets(int error)
{
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

void close(QuestionSocket socket)
{
    ::close(static_cast<int>(socket));
}

void waitForDatagrams(std::span<const QuestionSocket> sockets, int timeoutMs, std::vector<bool>& readable)
{
    pollForDatagrams<pollfd>(sockets, POLLIN, readable, [timeoutMs](std::vector<pollfd>& watched) {
        const int ready = ::poll(watched.data(), watched.size(), timeoutMs);
        if (ready < 0 && errno != EINTR)
            throw ESocketError(socketErrorText(errno), errno);
        return ready;
    });
}

Take takeOne(QuestionSocket socket, std::span<std::uint8_t> buffer, std::size_t& length, std::uint32_t& from)
{
    sockaddr_in sender{};
    socklen_t senderLength = sizeof sender;
    // MSG_TRUNC tells the real length, so an oversized datagram shows.
    const ssize_t n = ::recvfrom(static_cast<int>(socket), buffer.data(), buffer.size(), MSG_TRUNC,
                                 reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (n < 0)
        return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR ? Take::socketFailed
                                                                         : Take::nothingWaiting;
    length = static_cast<std::size_t>(n);
    from = ntohl(sender.sin_addr.s_addr);
    return Take::datagram;
}

}  // namespace pst::fan_out
