#include "transport/datagram_fan_out.h"

#include <algorithm>
#include <array>
#include <vector>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include "transport/udp_client.h"
#include "transport/winsock_start.h"

namespace pst {

namespace {

using Clock = std::chrono::steady_clock;

struct Question {
    SOCKET socket = INVALID_SOCKET;
    std::size_t peer = 0;
    Clock::time_point deadline;
};

// Opens a non-blocking socket and sends the question; INVALID_SOCKET with
// `error` set when either fails.
SOCKET ask(const DatagramPeer& peer, std::span<const std::uint8_t> question, int& error)
{
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (socket == INVALID_SOCKET) {
        error = ::WSAGetLastError();
        return INVALID_SOCKET;
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
        return INVALID_SOCKET;
    }
    return socket;
}

// Reads every datagram waiting on the question's socket; true once one from
// the peer's address is its answer, or the socket failed.
bool takeAnswers(const Question& question, const DatagramPeer& peer, const PeerAnswer& answer)
{
    std::array<std::uint8_t, 2048> datagram;
    for (;;) {
        sockaddr_in from{};
        int length = sizeof from;
        const int n = ::recvfrom(question.socket, reinterpret_cast<char*>(datagram.data()),
                                 static_cast<int>(datagram.size()), 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n == SOCKET_ERROR) {
            const int error = ::WSAGetLastError();
            // A datagram longer than any reply to the question is not its
            // answer; Windows drops it with this error.
            if (error == WSAEMSGSIZE || error == WSAECONNRESET)
                continue;
            return error != WSAEWOULDBLOCK && error != WSAEINTR;
        }
        if (ntohl(from.sin_addr.s_addr) != peer.address)
            continue;
        if (answer(question.peer, std::span<const std::uint8_t>(datagram.data(), static_cast<std::size_t>(n))))
            return true;
    }
}

bool outOfSockets(int error)
{
    return error == WSAEMFILE || error == WSAENOBUFS;
}

}  // namespace

void askEveryPeer(std::span<const DatagramPeer> peers, std::span<const std::uint8_t> question,
                  const FanOutLimits& limits, const PeerAnswer& answer, const FanOutProgress& progress)
{
    startWinsock();
    const std::size_t inFlight = std::max<std::size_t>(limits.inFlight, 1);
    std::vector<Question> waiting;
    // Whatever ends the search early, no socket stays open.
    struct CloseWaiting {
        std::vector<Question>& questions;
        ~CloseWaiting()
        {
            for (const Question& q : questions)
                ::closesocket(q.socket);
        }
    } closeWaiting{waiting};
    std::vector<WSAPOLLFD> watched;
    std::size_t next = 0;
    std::size_t settled = 0;
    const auto settle = [&] {
        ++settled;
        if (progress)
            progress(settled, peers.size());
    };

    while (next < peers.size() || !waiting.empty()) {
        while (next < peers.size() && waiting.size() < inFlight) {
            int error = 0;
            const SOCKET socket = ask(peers[next], question, error);
            if (socket == INVALID_SOCKET && outOfSockets(error)) {
                // Out of sockets: the ones in flight free some, or there are none at all.
                if (waiting.empty())
                    throw ESocketError(socketErrorText(error), error);
                break;
            }
            if (socket == INVALID_SOCKET)
                settle();
            else
                waiting.push_back({socket, next, Clock::now() + limits.wait});
            ++next;
        }
        if (waiting.empty())
            continue;

        watched.clear();
        for (const Question& q : waiting)
            watched.push_back({q.socket, POLLRDNORM, 0});
        const auto soonest =
            std::min_element(waiting.begin(), waiting.end(), [](const Question& a, const Question& b) {
                return a.deadline < b.deadline;
            })->deadline;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(soonest - Clock::now());
        const int ready = ::WSAPoll(watched.data(), static_cast<ULONG>(watched.size()),
                                    static_cast<INT>(std::max<long long>(left.count(), 0)));
        if (ready == SOCKET_ERROR) {
            const int error = ::WSAGetLastError();
            throw ESocketError(socketErrorText(error), error);
        }

        const auto now = Clock::now();
        std::vector<Question> still;
        still.reserve(waiting.size());
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            const Question& q = waiting[i];
            const bool answered =
                ready > 0 && watched[i].revents != 0 && takeAnswers(q, peers[q.peer], answer);
            if (answered || now >= q.deadline) {
                ::closesocket(q.socket);
                settle();
            } else {
                still.push_back(q);
            }
        }
        waiting.swap(still);
    }
}

}  // namespace pst
