#include "transport/usb_uevent_monitor.h"

#include <array>
#include <cerrno>
#include <system_error>
#include <thread>

#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "transport/comm_channel.h"

namespace pst {

namespace {

constexpr unsigned kKernelEventGroup = 1;

// The kernel caps one event's text at 2048 bytes; the rest is headroom.
constexpr std::size_t kMessageBuffer = 8192;

}  // namespace

// The kernel's event socket and the thread that reads it.
struct UsbUeventMonitor::Watch {
    explicit Watch(Handler onChange) : handler(std::move(onChange)) { }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
    ~Watch();

    void run();

    Handler handler;
    int socket = -1;
    CloseSignal stop;
    std::thread thread;
};

UsbUeventMonitor::UsbUeventMonitor(Handler handler) : watch_(std::make_unique<Watch>(std::move(handler)))
{
    const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
    if (fd < 0)
        return;
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = kKernelEventGroup;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || !watch_->stop.create()) {
        ::close(fd);
        return;
    }
    watch_->socket = fd;
    try {
        watch_->thread = std::thread([watch = watch_.get()] { watch->run(); });
    } catch (const std::system_error&) {
        ::close(watch_->socket);
        watch_->socket = -1;
    }
}

UsbUeventMonitor::~UsbUeventMonitor() = default;

bool UsbUeventMonitor::listening() const
{
    return watch_->socket >= 0;
}

UsbUeventMonitor::Watch::~Watch()
{
    if (thread.joinable()) {
        stop.signal();
        thread.join();
    }
    if (socket >= 0)
        ::close(socket);
}

void UsbUeventMonitor::Watch::run()
{
    std::array<char, kMessageBuffer> buffer{};
    for (;;) {
        pollfd fds[2] = {{stop.fd(), POLLIN, 0}, {socket, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents == 0)
            continue;

        sockaddr_nl sender{};
        iovec part{buffer.data(), buffer.size()};
        msghdr header{};
        header.msg_name = &sender;
        header.msg_namelen = sizeof sender;
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        const ssize_t got = ::recvmsg(socket, &header, 0);
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            if (errno == ENOBUFS) {
                // Events were lost while the queue was full: whatever they
                // were, the owner has to look at the devices afresh.
                handler(UsbDeviceChange::Arrival);
                continue;
            }
            return;
        }
        // Only the kernel speaks on this group; anything else is not trusted.
        if (sender.nl_pid != 0 || (header.msg_flags & MSG_TRUNC) != 0)
            continue;
        if (auto change = parseUsbUevent(std::string_view(buffer.data(), static_cast<std::size_t>(got))))
            handler(*change);
    }
}

}  // namespace pst
