#include "transport/datagram_fan_out_system.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include "transport/udp_client.h"
#include "transport/winsock_start.h"

namespace pst::fan_out {

namespace {

SOCKET handleOf(QuestionSocket socket)
{
    return static_cast<SOCKET>(socket);
}

}  // namespace

void prepare()
{
    startWinsock();
}

QuestionSocket ask(const DatagramPeer& peer, std::span<const std::uint8_t> question, int& error)
{
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (socket == INVALID_SOCKET) {
        error = ::WSAGetLastError();
        return kNoSocket;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    // An address with nothing listening answers with ICMP, which Windows
    // would turn into a failing receive; it is only a peer that is silent.
    BOOL reportReset = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(socket, SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &returned, nullptr,
               nullptr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(peer.address);
    to.sin_port = htons(peer.port);
    if (::sendto(socket, reinterpret_cast<const char*>(question.data()), static_cast<int>(question.size()), 0,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to) == SOCKET_ERROR) {
        error = ::WSAGetLastError();
        ::closesocket(socket);
        return kNoSocket;
    }
    return static_cast<QuestionSocket>(socket);
}

bool outOfSockets(int error)
{
    return error == WSAEMFILE || error == WSAENOBUFS;
}

void close(QuestionSocket socket)
{
    ::closesocket(handleOf(socket));
}

void waitForDatagrams(std::span<const QuestionSocket> sockets, int timeoutMs, std::vector<bool>& readable)
{
    pollForDatagrams<WSAPOLLFD>(sockets, POLLRDNORM, readable, [timeoutMs](std::vector<WSAPOLLFD>& watched) {
        const int ready =
            ::WSAPoll(watched.data(), static_cast<ULONG>(watched.size()), static_cast<INT>(timeoutMs));
        if (ready == SOCKET_ERROR) {
            const int error = ::WSAGetLastError();
            throw ESocketError(socketErrorText(error), error);
        }
        return ready;
    });
}

Take takeOne(QuestionSocket socket, std::span<std::uint8_t> buffer, std::size_t& length, std::uint32_t& from)
{
    sockaddr_in sender{};
    int senderLength = sizeof sender;
    const int n =
        ::recvfrom(handleOf(socket), reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()),
                   0, reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (n == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        // Windows drops an oversized datagram with WSAEMSGSIZE, and may still
        // tell of an ICMP reply with WSAECONNRESET: neither is an answer, so
        // both are told as longer than the buffer.
        if (error == WSAEMSGSIZE || error == WSAECONNRESET) {
            length = buffer.size() + 1;
            return Take::datagram;
        }
        return error != WSAEWOULDBLOCK && error != WSAEINTR ? Take::socketFailed : Take::nothingWaiting;
    }
    length = static_cast<std::size_t>(n);
    from = ntohl(sender.sin_addr.s_addr);
    return Take::datagram;
}

}  // namespace pst::fan_out
