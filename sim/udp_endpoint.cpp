#include "udp_endpoint.h"

#include "wake_pipe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace pst::sim {
namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Binds a new non-blocking datagram socket; returns it and its port.
int bindSocket(const in_addr& address, unsigned port, unsigned& boundPort)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        fail("cannot create a UDP socket");
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr = address;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t length = sizeof local;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        fail("cannot bind UDP port " + std::to_string(port));
    }
    boundPort = ntohs(local.sin_port);
    return fd;
}

}  // namespace

UdpEndpoint::UdpEndpoint(const std::string& address, unsigned port)
{
    if (port > 65535)
        throw std::runtime_error("UDP port " + std::to_string(port) + " is out of range");
    if (::inet_pton(AF_INET, address.c_str(), &boundAddress_) != 1)
        throw std::runtime_error("'" + address + "' is not an IPv4 address");
    socket_ = bindSocket(boundAddress_, port, port_);
    try {
        otherSocket_ = bindSocket(boundAddress_, 0, otherPort_);
    } catch (...) {
        ::close(socket_);
        throw;
    }
}

UdpEndpoint::~UdpEndpoint()
{
    ::close(otherSocket_);
    ::close(socket_);
}

std::string UdpEndpoint::address() const
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &boundAddress_, text, sizeof text);
    return std::string(text) + ":" + std::to_string(port_);
}

std::size_t UdpEndpoint::readAvailable(std::span<std::uint8_t> into)
{
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n =
        ::recvfrom(socket_, into.data(), into.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return 0;
        // An earlier reply that could not be delivered comes back as an
        // error here; it concerns that reply, not this socket.
        if (errno == ECONNREFUSED || errno == EHOSTUNREACH || errno == ENETUNREACH)
            return 0;
        fail("cannot receive on UDP port " + std::to_string(port_));
    }
    std::lock_guard lock(peerMutex_);
    peer_ = from;
    havePeer_ = true;
    return static_cast<std::size_t>(n);
}

bool UdpEndpoint::writeAll(std::span<const std::uint8_t> bytes, const WakePipe& stop)
{
    sockaddr_in peer{};
    {
        std::lock_guard lock(peerMutex_);
        if (!havePeer_)
            return true;
        peer = peer_;
    }
    const int fd = replyFromOtherPort_.load() ? otherSocket_ : socket_;
    while (true) {
        const ssize_t n = ::sendto(fd, bytes.data(), bytes.size(), MSG_DONTWAIT,
                                   reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
        if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return true;
        pollfd fds[2] = {{fd, POLLOUT, 0}, {stop.fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return true;
        if (fds[1].revents != 0)
            return false;
    }
}

}  // namespace pst::sim
