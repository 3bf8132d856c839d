#include "transport/udp_client.h"
#include "transport/winsock_start.h"

#include <algorithm>
#include <array>
#include <string_view>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include "platform/text_compare.h"

namespace pst {

namespace {

struct Description {
    int code;
    const char* text;
};

constexpr std::array<Description, 24> kDescriptions{{
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

[[noreturn]] void raiseSocketError(int code)
{
    throw ESocketError(socketErrorText(code), code);
}

// Four parts separated by dots, each a number from 0 to 255.
bool parseDottedIPv4(std::string_view text, std::uint32_t& out)
{
    std::uint32_t value = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.');
        if ((part < 3) != (dot != std::string_view::npos))
            return false;
        const std::string_view digits = text.substr(0, dot);
        if (digits.empty() || digits.size() > 3 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        unsigned number = 0;
        for (char c : digits)
            number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > 255)
            return false;
        value = (value << 8) | number;
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    out = value;
    return true;
}

SOCKET handleOf(std::intptr_t socket)
{
    return static_cast<SOCKET>(socket);
}

}  // namespace

std::uint32_t resolveIPv4(const std::string& host)
{
    if (equalsIgnoringAsciiCase(host, "LOCALHOST"))
        return INADDR_LOOPBACK;
    std::uint32_t address = 0;
    if (parseDottedIPv4(host, address))
        return address;

    startWinsock();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    // getaddrinfo's results are Winsock error codes.
    if (const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found); result != 0)
        raiseSocketError(result);
    address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return address;
}

std::string socketErrorDescription(int code)
{
    for (const auto& entry : kDescriptions)
        if (entry.code == code)
            return entry.text;
    return {};
}

std::string socketErrorText(int code)
{
    return "Socket Error # " + std::to_string(code) + "\r\n" + socketErrorDescription(code);
}

TUdpClient::~TUdpClient()
{
    SetActive(false);
}

void TUdpClient::SetActive(bool active)
{
    if (active) {
        ensureSocket();
        return;
    }
    if (socket_ < 0)
        return;
    ::shutdown(handleOf(socket_), SD_SEND);
    ::closesocket(handleOf(socket_));
    socket_ = -1;
}

void TUdpClient::ensureSocket()
{
    if (socket_ >= 0)
        return;
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
    socket_ = static_cast<std::intptr_t>(created);
    socketWaitMs_ = 0;
}

void TUdpClient::SendDatagram(const std::uint8_t* buffer, std::size_t count)
{
    ensureSocket();
    // A port outside the 16-bit range would otherwise be cut down to some
    // other printer's port.
    if (port_ < 0 || port_ > 65535)
        raiseSocketError(WSAEINVAL);

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(static_cast<std::uint16_t>(port_));
    destination_ = resolveIPv4(host_);
    destination.sin_addr.s_addr = htonl(destination_);

    const int sent = ::sendto(handleOf(socket_), reinterpret_cast<const char*>(buffer), static_cast<int>(count), 0,
                              reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    if (sent == SOCKET_ERROR) {
        const int error = ::WSAGetLastError();
        if (error == WSAEMSGSIZE)
            throw ESocketError("Package Size Too Big.", WSAEMSGSIZE);
        raiseSocketError(error);
    }
    if (static_cast<std::size_t>(sent) != count)
        throw ESocketError("Not all bytes sent.");
}

std::size_t TUdpClient::ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs)
{
    const std::size_t got = receive(buffer, size, timeoutMs, nullptr);
    if (got > size)
        raiseSocketError(WSAEMSGSIZE);
    return got;
}

std::size_t TUdpClient::ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs,
                                        DatagramSender& from)
{
    return receive(buffer, size, timeoutMs, &from);
}

std::size_t TUdpClient::receive(std::uint8_t* buffer, std::size_t size, int timeoutMs, DatagramSender* from)
{
    ensureSocket();
    if (timeoutMs == kUseReceiveTimeout)
        timeoutMs = receiveTimeout_;
    // Only "no limit" may wait without end; any other negative value would
    // otherwise hang the worker for good.
    const bool unlimited = timeoutMs == kNoTimeLimit;
    const int limitMs = unlimited ? 0 : std::max(timeoutMs, 0);

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

int TUdpClient::LocalPort() const
{
    if (socket_ < 0)
        return 0;
    sockaddr_in local{};
    int length = sizeof local;
    if (::getsockname(handleOf(socket_), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

}  // namespace pst
