#include "transport/udp_client.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/text_compare.h"

namespace pst {

namespace {

struct Description {
    int code;
    const char* text;
};

// Resolver codes are negative in this C library, so they share one table
// with the system's (positive) error numbers.
constexpr std::array<Description, 28> kDescriptions{{
    {EACCES, "Permission denied."},
    {EADDRINUSE, "Address already in use."},
    {EADDRNOTAVAIL, "Cannot assign requested address."},
    {EAFNOSUPPORT, "Address family not supported by protocol family."},
    {EAGAIN, "Resource temporarily unavailable."},
    {EBADF, "Bad file descriptor."},
    {ECONNREFUSED, "Connection refused."},
    {ECONNRESET, "Connection reset by peer."},
    {EHOSTDOWN, "Host is down."},
    {EHOSTUNREACH, "No route to host."},
    {EINTR, "Interrupted function call."},
    {EINVAL, "Invalid argument."},
    {EMFILE, "Too many open files."},
    {EMSGSIZE, "Message too long."},
    {ENETDOWN, "Network is down."},
    {ENETUNREACH, "Network is unreachable."},
    {ENOBUFS, "No buffer space available."},
    {ENOMEM, "Not enough memory."},
    {ENOTSOCK, "Socket operation on non-socket."},
    {EPERM, "Operation not permitted."},
    {ETIMEDOUT, "Connection timed out."},
    {EAI_NONAME, "Host not found."},
    {EAI_AGAIN, "Temporary failure in name resolution."},
    {EAI_FAIL, "This is a non-recoverable error."},
    {EAI_NODATA, "Valid name, no data record of requested type."},
    {EAI_ADDRFAMILY, "The host has no IPv4 address."},
    {EAI_MEMORY, "Not enough memory."},
    {EAI_SERVICE, "Service not found."},
}};

[[noreturn]] void raiseSocketError(int code)
{
    throw ESocketError(socketErrorText(code), code);
}

// Four parts separated by dots, each a number from 0 to 255.
bool parseDottedIPv4(std::string_view text, in_addr& out)
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
    out.s_addr = htonl(value);
    return true;
}

}  // namespace

std::uint32_t resolveIPv4(const std::string& host)
{
    in_addr address{};
    if (equalsIgnoringAsciiCase(host, "LOCALHOST"))
        return INADDR_LOOPBACK;
    if (parseDottedIPv4(host, address))
        return ntohl(address.s_addr);

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (result != 0) {
        // A failure of the system call behind the lookup has its own code.
        raiseSocketError(result == EAI_SYSTEM && errno != 0 ? errno : result);
    }
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return ntohl(address.s_addr);
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
    // No connection to shut down on a datagram socket; the call only stops
    // further sends, as closing does anyway.
    ::shutdown(socket_, SHUT_WR);
    ::close(socket_);
    socket_ = -1;
}

void TUdpClient::ensureSocket()
{
    if (socket_ >= 0)
        return;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw ESocketError("Cannot allocate socket.", errno);
    const int broadcast = broadcastEnabled_ ? 1 : 0;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &broadcast, sizeof broadcast) != 0) {
        const int error = errno;
        ::close(fd);
        raiseSocketError(error);
    }
    socket_ = fd;
    socketWaitMs_ = 0;
}

void TUdpClient::SendDatagram(const std::uint8_t* buffer, std::size_t count)
{
    ensureSocket();
    // A port outside the 16-bit range would otherwise be cut down to some
    // other printer's port.
    if (port_ < 0 || port_ > 65535)
        raiseSocketError(EINVAL);

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(static_cast<std::uint16_t>(port_));
    destination_ = resolveIPv4(host_);
    destination.sin_addr.s_addr = htonl(destination_);

    ssize_t sent;
    do {
        sent = ::sendto(socket_, buffer, count, 0, reinterpret_cast<const sockaddr*>(&destination),
                        sizeof destination);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        if (errno == EMSGSIZE)
            throw ESocketError("Package Size Too Big.", EMSGSIZE);
        raiseSocketError(errno);
    }
    if (static_cast<std::size_t>(sent) != count)
        throw ESocketError("Not all bytes sent.");
}

std::size_t TUdpClient::ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs)
{
    const std::size_t got = receive(buffer, size, timeoutMs, nullptr);
    if (got > size)
        raiseSocketError(EMSGSIZE);
    return got;
}

std::size_t TUdpClient::ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs,
                                        DatagramSender& from)
{
    return std::min(receive(buffer, size, timeoutMs, &from), size + 1);
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

    // The wait is the socket's own receive time limit rather than a poll
    // before the receive: one system call per datagram instead of two.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    ssize_t got;
    for (;;) {
        int flags = MSG_TRUNC;  // reports the real length, so an oversized datagram is recognised
        if (unlimited) {
            setSocketWait(0);
        } else {
            const auto leftMs = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (leftMs > 0)
                setSocketWait(leftMs);
            else
                flags |= MSG_DONTWAIT;
        }
        sockaddr_in sender{};
        socklen_t senderLength = sizeof sender;
        got = ::recvfrom(socket_, buffer, size, flags, reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (got >= 0 && from)
            *from = {ntohl(sender.sin_addr.s_addr), ntohs(sender.sin_port)};
        if (got >= 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            raiseSocketError(errno);
        if (unlimited || Clock::now() < deadline)
            continue;
        return 0;
    }
    return static_cast<std::size_t>(got);
}

void TUdpClient::setSocketWait(long long milliseconds)
{
    if (milliseconds == socketWaitMs_)
        return;
    // The time, as whole seconds and the rest below a second; zero waits
    // without end.
    const timeval limit{static_cast<time_t>(milliseconds / 1000),
                        static_cast<suseconds_t>(milliseconds % 1000) * 1000};
    if (::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0)
        raiseSocketError(errno);
    socketWaitMs_ = milliseconds;
}

int TUdpClient::LocalPort() const
{
    if (socket_ < 0)
        return 0;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

}  // namespace pst
