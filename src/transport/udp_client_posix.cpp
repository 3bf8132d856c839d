#include "transport/udp_client.h"

#include <array>
#include <cerrno>
#include <chrono>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "transport/udp_client_system.h"

namespace pst {

namespace {

// Resolver codes are negative in this C library, so they share one table
// with the system's (positive) error numbers.
constexpr std::array<SocketErrorDescription, 28> kDescriptions{{
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

}  // namespace

const SocketErrorCodes kSocketErrors{EMSGSIZE, EINVAL, kDescriptions};

std::uint32_t lookUpIPv4(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (result != 0) {
        // A failure of the system call behind the lookup has its own code.
        raiseSocketError(result == EAI_SYSTEM && errno != 0 ? errno : result);
    }
    const in_addr address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return ntohl(address.s_addr);
}

void TUdpClient::closeSocket()
{
    // No connection to shut down on a datagram socket; the call only stops
    // further sends, as closing does anyway.
    ::shutdown(socket_, SHUT_WR);
    ::close(socket_);
}

std::intptr_t TUdpClient::openSocket() const
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw ESocketError("Cannot allocate socket.", errno);
    const int broadcast = broadcastEnabled_ ? 1 : 0;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &broadcast, sizeof broadcast) != 0) {
        const int error = errno;
        ::close(fd);
        raiseSocketError(error);
    }
    return fd;
}

int TUdpClient::sendTo(std::uint32_t address, const std::uint8_t* buffer, std::size_t count, std::size_t& sent)
{
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(static_cast<std::uint16_t>(port_));
    destination.sin_addr.s_addr = htonl(address);
    ssize_t result;
    do {
        result = ::sendto(socket_, buffer, count, 0, reinterpret_cast<const sockaddr*>(&destination),
                          sizeof destination);
    } while (result < 0 && errno == EINTR);
    if (result < 0)
        return errno;
    sent = static_cast<std::size_t>(result);
    return 0;
}

std::size_t TUdpClient::waitAndReceive(std::uint8_t* buffer, std::size_t size, bool unlimited, int limitMs,
                                       DatagramSender* from)
{
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

int TUdpClient::boundPort() const
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

}  // namespace pst
