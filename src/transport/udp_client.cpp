#include "transport/udp_client.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
           });
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

in_addr resolveHost(const std::string& host)
{
    in_addr address{};
    if (equalsIgnoringCase(host, "LOCALHOST")) {
        address.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }
    if (parseDottedIPv4(host, address))
        return address;

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
    return address;
}

}  // namespace

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
    destination.sin_addr = resolveHost(host_);

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
    ensureSocket();
    if (timeoutMs == kUseReceiveTimeout)
        timeoutMs = receiveTimeout_;
    // Only "no limit" may wait without end; any other negative value would
    // otherwise hang the worker for good.
    const bool unlimited = timeoutMs == kNoTimeLimit;
    const int limitMs = unlimited ? 0 : std::max(timeoutMs, 0);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        pollfd fd{socket_, POLLIN, 0};
        int ready;
        if (unlimited) {
            ready = ::ppoll(&fd, 1, nullptr, nullptr);
        } else {
            // The time left, as whole seconds and the rest below a second.
            const auto leftMs = std::max<long long>(
                0, std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count());
            const timespec limit{static_cast<time_t>(leftMs / 1000),
                                 static_cast<long>(leftMs % 1000) * 1000000L};
            ready = ::ppoll(&fd, 1, &limit, nullptr);
        }
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            raiseSocketError(errno);
        if (ready == 0)
            return 0;
        break;
    }

    ssize_t got;
    do {
        // MSG_TRUNC reports the datagram's real length, so an oversized one
        // is recognised instead of being handed on cut short.
        got = ::recvfrom(socket_, buffer, size, MSG_TRUNC, nullptr, nullptr);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        raiseSocketError(errno);
    if (static_cast<std::size_t>(got) > size)
        raiseSocketError(EMSGSIZE);
    return static_cast<std::size_t>(got);
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
