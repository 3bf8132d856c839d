#include "transport/datagram_fan_out.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "transport/udp_client.h"

namespace pst {

namespace {

using Clock = std::chrono::steady_clock;

struct Question {
    int fd = -1;
    std::size_t peer = 0;
    Clock::time_point deadline;
};

// Opens a socket and sends the question; -1 with errno set when either fails.
int ask(const DatagramPeer& peer, std::span<const std::uint8_t> question)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(peer.address);
    to.sin_port = htons(peer.port);
    ssize_t sent;
    do {
        sent = ::sendto(fd, question.data(), question.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Reads every datagram waiting on the question's socket; true once one from
// the peer's address is its answer, or the socket failed.
bool takeAnswers(const Question& question, const DatagramPeer& peer, const PeerAnswer& answer)
{
    std::array<std::uint8_t, 2048> datagram;
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(question.fd, datagram.data(), datagram.size(), MSG_TRUNC,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0)
            return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
        // A datagram longer than any reply to the question is not its answer.
        if (static_cast<std::size_t>(n) > datagram.size() || ntohl(from.sin_addr.s_addr) != peer.address)
            continue;
        if (answer(question.peer, std::span<const std::uint8_t>(datagram.data(), static_cast<std::size_t>(n))))
            return true;
    }
}

}  // namespace

void askEveryPeer(std::span<const DatagramPeer> peers, std::span<const std::uint8_t> question,
                  const FanOutLimits& limits, const PeerAnswer& answer, const FanOutProgress& progress)
{
    const std::size_t inFlight = std::max<std::size_t>(limits.inFlight, 1);
    std::vector<Question> waiting;
    // Whatever ends the search early, no socket stays open.
    struct CloseWaiting {
        std::vector<Question>& questions;
        ~CloseWaiting()
        {
            for (const Question& q : questions)
                ::close(q.fd);
        }
    } closeWaiting{waiting};
    std::vector<pollfd> watched;
    std::size_t next = 0;
    std::size_t settled = 0;
    const auto settle = [&] {
        ++settled;
        if (progress)
            progress(settled, peers.size());
    };

    while (next < peers.size() || !waiting.empty()) {
        while (next < peers.size() && waiting.size() < inFlight) {
            const int fd = ask(peers[next], question);
            if (fd < 0 && (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)) {
                // Out of sockets: the ones in flight free some, or there are none at all.
                if (waiting.empty())
                    throw ESocketError(socketErrorText(errno), errno);
                break;
            }
            if (fd < 0)
                settle();
            else
                waiting.push_back({fd, next, Clock::now() + limits.wait});
            ++next;
        }
        if (waiting.empty())
            continue;

        watched.clear();
        for (const Question& q : waiting)
            watched.push_back({q.fd, POLLIN, 0});
        const auto soonest =
            std::min_element(waiting.begin(), waiting.end(), [](const Question& a, const Question& b) {
                return a.deadline < b.deadline;
            })->deadline;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(soonest - Clock::now());
        const int ready = ::poll(watched.data(), watched.size(), static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready < 0 && errno != EINTR)
            throw ESocketError(socketErrorText(errno), errno);

        const auto now = Clock::now();
        std::vector<Question> still;
        still.reserve(waiting.size());
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            const Question& q = waiting[i];
            const bool answered =
                ready > 0 && watched[i].revents != 0 && takeAnswers(q, peers[q.peer], answer);
            if (answered || now >= q.deadline) {
                ::close(q.fd);
                settle();
            } else {
                still.push_back(q);
            }
        }
        waiting.swap(still);
    }
}

}  // namespace pst
