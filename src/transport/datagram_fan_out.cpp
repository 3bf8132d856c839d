#include "transport/datagram_fan_out.h"

#include <algorithm>
#include <array>
#include <vector>

#include "transport/datagram_fan_out_system.h"
#include "transport/udp_client.h"

namespace pst {

namespace {

using Clock = std::chrono::steady_clock;
using fan_out::QuestionSocket;

struct Question {
    QuestionSocket socket = fan_out::kNoSocket;
    std::size_t peer = 0;
    Clock::time_point deadline;
};

// Reads every datagram waiting on the question's socket; true once one from
// the peer's address is its answer, or the socket failed.
bool takeAnswers(const Question& question, const DatagramPeer& peer, const PeerAnswer& answer)
{
    std::array<std::uint8_t, 2048> datagram;
    for (;;) {
        std::size_t length = 0;
        std::uint32_t from = 0;
        const fan_out::Take taken = fan_out::takeOne(question.socket, datagram, length, from);
        if (taken != fan_out::Take::datagram)
            return taken == fan_out::Take::socketFailed;
        // A datagram longer than any reply to the question is not its answer.
        if (length > datagram.size() || from != peer.address)
            continue;
        if (answer(question.peer, std::span<const std::uint8_t>(datagram.data(), length)))
            return true;
    }
}

}  // namespace

void askEveryPeer(std::span<const DatagramPeer> peers, std::span<const std::uint8_t> question,
                  const FanOutLimits& limits, const PeerAnswer& answer, const FanOutProgress& progress)
{
    fan_out::prepare();
    const std::size_t inFlight = std::max<std::size_t>(limits.inFlight, 1);
    std::vector<Question> waiting;
    // Whatever ends the search early, no socket stays open.
    struct CloseWaiting {
        std::vector<Question>& questions;
        ~CloseWaiting()
        {
            for (const Question& q : questions)
                fan_out::close(q.socket);
        }
    } closeWaiting{waiting};
    std::vector<QuestionSocket> watched;
    std::vector<bool> readable;
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
            const QuestionSocket socket = fan_out::ask(peers[next], question, error);
            if (socket == fan_out::kNoSocket && fan_out::outOfSockets(error)) {
                // Out of sockets: the ones in flight free some, or there are none at all.
                if (waiting.empty())
                    throw ESocketError(socketErrorText(error), error);
                break;
            }
            if (socket == fan_out::kNoSocket)
                settle();
            else
                waiting.push_back({socket, next, Clock::now() + limits.wait});
            ++next;
        }
        if (waiting.empty())
            continue;

        watched.clear();
        for (const Question& q : waiting)
            watched.push_back(q.socket);
        const auto soonest =
            std::min_element(waiting.begin(), waiting.end(), [](const Question& a, const Question& b) {
                return a.deadline < b.deadline;
            })->deadline;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(soonest - Clock::now());
        fan_out::waitForDatagrams(watched, static_cast<int>(std::max<long long>(left.count(), 0)), readable);

        const auto now = Clock::now();
        std::vector<Question> still;
        still.reserve(waiting.size());
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            const Question& q = waiting[i];
            const bool answered = readable[i] && takeAnswers(q, peers[q.peer], answer);
            if (answered || now >= q.deadline) {
                fan_out::close(q.socket);
                settle();
            } else {
                still.push_back(q);
            }
        }
        waiting.swap(still);
    }
}

}  // namespace pst
