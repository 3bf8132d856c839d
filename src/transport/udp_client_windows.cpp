#include "transport/udp_client.h"
#include "transport/udp_client_system.h"
#include "transport/winsock_start.h"

#include <array>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

namespace pst {

namespace {

constexpr std::array<SocketErrorDescription, 24> kDescriptions{{
    {WSAEINTR, "Interrupted function call."},
    {WSAEBADF, "Bad file descriptor."},
    {WSAEACCES, "Permission denied."},
    {WSAEFAULT, "Bad address."},
    {WSAEINVAL, "Invalid argument."},
    {WSAEMFILE, "Too many open files."},
    {WSAEWOULDBLOCK, "Resource temporarily unavailable."},
    {WSAENOTSOCK, "Socket operation on non-socket."},
    {WSAEMSGSIZE, "Message too long."},
    {WSAEAFNOSUPPORT, "Address family not supported by protocol family."},
    {WSAEADDRINUSE, "Address already in use."},
    {WSAEADDRNOTAVAIL, "Cannot assign requested address."},
    {WSAENETDOWN, "Network is down."},
    {WSAENETUNREACH, "Network is unreachable."},
    {WSAENETRESET, "Network dropped connection on reset."},
    {WSAECONNRESET, "Connection reset by peer."},
    {WSAENOBUFS, "No buffer space available."},
    {WSAETIMEDOUT, "Connection timed out."},
    {WSAECONNREFUSED, "Connection refused."},
    {WSAEHOSTDOWN, "Host is down."},
    {WSAEHOSTUNREACH, "No route to host."},
    {WSANOTINITIALISED, "Successful WSAStartup not yet performed."},
    {WSAHOST_NOT_FOUND, "Host not found."},
    {WSATRY_AGAIN, "Non-authoritative host not found."},
}};

SOCKET handleOf(std::intptr_t socket)
{
    return static_cast<SOCKET>(socket);
}

}  // namespace

const SocketErrorCodes kSocketErrors{WSAEMSGSIZE, WSAEINVAL, kDescriptions};

std::uint32_t lookUpIPv4(const std::string& host)
{
    startWinsock();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    // getaddrinfo's results are Winsock error codes.
    if (const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found); result != 0)
        raiseSocketError(result);
    const std::uint32_t address =
        ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return address;
}

void TUdpClient::closeSocket()
{
    ::shutdown(handleOf(socket_), SD_SEND);
    ::closesocket(handleOf(socket_));
}

std::intptr_t TUdpClient::openSocket() const
{
    startWinsock();
    const SOCKET created = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (created == INVALID_SOCKET)
        throw ESocketError("Cannot allocate socket.", ::WSAGetLastError());
    const BOOL broadcast = broadcastEnabled_ ? TRUE : FALSE;
    if (::setsockopt(created, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&broadcast),
                     sizeof broadcast) != 0) {
        const int error = ::WSAGetLastError();
        ::closesocket(created);
        raiseSocketError(error);
    }
    // Windows turns an ICMP "port unreachable" for an earlier datagram into
    // a failing receive (10054) on the unconnected socket. A printer that is
    // off or on another port must look the same as on Linux: no answer
    // within the time, not a failure.
    BOOL reportReset = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(created, SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &returned, nullptr,
               nullptr);
    return static_cast<std::intptr_t>(created);
}

int TUdpClient::sendTo(std::uint32_t address, const std::uint8_t* buffer, std::size_t count,
                       std::size_t& sent)
{
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(static_cast<std::uint16_t>(port_));
    destination.sin_addr.s_addr = htonl(address);
    const int result =
        ::sendto(handleOf(socket_), reinterpret_cast<const char*>(buffer), static_cast<int>(count), 0,
                 reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    if (result == SOCKET_ERROR)
        return ::WSAGetLastError();
    sent = static_cast<std::size_t>(result);
    return 0;
}

std::size_t TUdpClient::waitAndReceive(std::uint8_t* buffer, std::size_t size, bool unlimited, int limitMs,
                                       DatagramSender* from)
{
    // select on the one socket, then take the datagram whole.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(handleOf(socket_), &readable);
    timeval limit{limitMs / 1000, (limitMs % 1000) * 1000};
    const int ready = ::select(0, &readable, nullptr, nullptr, unlimited ? nullptr : &limit);
    if (ready == SOCKET_ERROR)
        raiseSocketError(::WSAGetLastError());
    if (ready == 0)
        return 0;
    // A datagram longer than the buffer fails with WSAEMSGSIZE, its start
    // kept and its sender told: it is told as longer than the buffer.
    sockaddr_in sender{};
    int senderLength = sizeof sender;
    const int got = ::recvfrom(handleOf(socket_), reinterpret_cast<char*>(buffer), static_cast<int>(size), 0,
                               reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (from)
        *from = {ntohl(sender.sin_addr.s_addr), ntohs(sender.sin_port)};
    if (got == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        if (error == WSAEMSGSIZE)
            return size + 1;
        raiseSocketError(error);
    }
    return static_cast<std::size_t>(got);
}

void TUdpClient::setSocketWait(long long milliseconds)
{
    // The wait is select's here; the socket keeps no time limit of its own.
    socketWaitMs_ = milliseconds;
}

int TUdpClient::boundPort() const
{
    sockaddr_in local{};
    int length = sizeof local;
    if (::getsockname(handleOf(socket_), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

}  // namespace pst
