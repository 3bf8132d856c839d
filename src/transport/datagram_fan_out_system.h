#pragma once
// The socket calls behind askEveryPeer, one set per system. A question's
// socket is a descriptor on Linux, a SOCKET on Windows; -1 when there is none.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "transport/datagram_fan_out.h"

namespace pst::fan_out {

using QuestionSocket = std::intptr_t;
constexpr QuestionSocket kNoSocket = -1;

// Makes the sockets usable (Winsock's start); nothing on Linux.
void prepare();

// Opens a non-blocking socket and sends the question to the peer; kNoSocket
// with `error` set when either fails.
QuestionSocket ask(const DatagramPeer& peer, std::span<const std::uint8_t> question, int& error);
// The failure means the system has no socket to spare just now.
bool outOfSockets(int error);
void close(QuestionSocket socket);

// Waits up to `timeoutMs` for datagrams; `readable` tells, socket by socket,
// which have some. An interrupted wait has none. Throws ESocketError.
void waitForDatagrams(std::span<const QuestionSocket> sockets, int timeoutMs, std::vector<bool>& readable);

// What waitForDatagrams does on either system, whose poll takes an array of
// records with the socket, the events wanted and the events seen. `poll`
// waits on the records and returns how many have events (none when it was
// interrupted), or throws.
template <class PollRecord, class Poll>
void pollForDatagrams(std::span<const QuestionSocket> sockets, decltype(PollRecord::events) wanted,
                      std::vector<bool>& readable, const Poll& poll)
{
    std::vector<PollRecord> watched;
    watched.reserve(sockets.size());
    for (const QuestionSocket socket : sockets)
        watched.push_back({static_cast<decltype(PollRecord::fd)>(socket), wanted, 0});
    const int ready = poll(watched);
    readable.assign(sockets.size(), false);
    for (std::size_t i = 0; ready > 0 && i < watched.size(); ++i)
        readable[i] = watched[i].revents != 0;
}

// The outcome of taking one datagram off a question's socket.
enum class Take { datagram, nothingWaiting, socketFailed };
// `length` is the datagram's, more than the buffer when it did not fit (or
// was something else that is no answer); `from` its sender's address.
Take takeOne(QuestionSocket socket, std::span<std::uint8_t> buffer, std::size_t& length, std::uint32_t& from);

}  // namespace pst::fan_out
