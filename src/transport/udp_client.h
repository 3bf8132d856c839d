#pragma once
// TUdpClient: the network link to a printer, one IPv4 datagram socket.
//
// Every frame goes to Host:Port as one datagram and every reply comes back as
// one datagram, taken whole by ReceiveDatagram. The socket is not bound: the
// system picks its local port at the first send, so replies must come back to
// that port, and each activation starts afresh with a new one.
//
// Threads: the client keeps no lock. It is handed to the command worker,
// which alone uses it, and only while a command runs.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pst {

// Every failure of the network link. The message is one of the link's fixed
// texts; code() is the system's error code behind it, 0 when there is none.
class ESocketError : public std::runtime_error {
public:
    explicit ESocketError(const std::string& message, int code = 0) : std::runtime_error(message), code_(code)
    {
    }
    int code() const noexcept { return code_; }

private:
    int code_;
};

// "Socket Error # %d\r\n%s": the code and a short English description of it
// (errno values, and the resolver's codes for a failed name lookup). A code
// without a description leaves the second line empty.
std::string socketErrorText(int code);
std::string socketErrorDescription(int code);

// The IPv4 address of `host` (dotted, "localhost" or a name to look up), in
// host byte order. Throws ESocketError when the name is not found.
std::uint32_t resolveIPv4(const std::string& host);

struct DatagramSender {
    std::uint32_t address = 0;  // IPv4, host byte order
    std::uint16_t port = 0;
};

class TUdpClient {
public:
    // ReceiveDatagram's time-out values with a meaning of their own.
    static constexpr int kUseReceiveTimeout = -1;
    static constexpr int kNoTimeLimit = -2;

    TUdpClient() = default;
    TUdpClient(const TUdpClient&) = delete;
    TUdpClient& operator=(const TUdpClient&) = delete;
    ~TUdpClient();

    const std::string& Host() const { return host_; }
    void setHost(const std::string& host) { host_ = host; }
    int Port() const { return port_; }
    void setPort(int port) { port_ = port; }

    bool Active() const { return socket_ >= 0; }
    // True creates the socket (nothing happens when one exists); false shuts
    // it down and closes it (nothing happens when there is none).
    void setActive(bool active);

    int ReceiveTimeout() const { return receiveTimeout_; }
    void setReceiveTimeout(int milliseconds) { receiveTimeout_ = milliseconds; }
    int BufferSize() const { return bufferSize_; }
    void setBufferSize(int size) { bufferSize_ = size; }
    bool BroadcastEnabled() const { return broadcastEnabled_; }
    // Takes effect with the next socket.
    void setBroadcastEnabled(bool enabled) { broadcastEnabled_ = enabled; }

    // Sends count bytes as one datagram to Host:Port, resolving Host anew.
    // Throws ESocketError.
    void SendDatagram(const std::uint8_t* buffer, std::size_t count);

    // Waits up to `timeoutMs` for one datagram and copies it to buffer.
    // Returns its length, or 0 when nothing came in time. A datagram longer
    // than `size` is a failure, not a shortened reply. Throws ESocketError.
    std::size_t ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs);
    // The same, telling who sent it: anyone can send to the socket's port,
    // so the caller decides whose datagrams count. Here an oversized
    // datagram is no failure (a stranger could end an exchange with one):
    // its length is told as size + 1, with `size` bytes of it kept.
    std::size_t ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs, DatagramSender& from);

    // The address the last datagram went to (host byte order); 0 before.
    std::uint32_t destinationAddress() const { return destination_; }

    // The local port the system gave the socket; 0 before the first send.
    int localPort() const;

private:
    void ensureSocket();
    void setSocketWait(long long milliseconds);
    std::size_t receive(std::uint8_t* buffer, std::size_t size, int timeoutMs, DatagramSender* from);

    // The system's half: the socket's own calls. sendTo returns the system's
    // error code, 0 when the datagram went; waitAndReceive returns 0 when
    // nothing came in time, and more than `size` for an oversized datagram;
    // boundPort returns 0 when the system does not tell.
    std::intptr_t openSocket() const;
    void closeSocket();
    int sendTo(std::uint32_t address, const std::uint8_t* buffer, std::size_t count, std::size_t& sent);
    std::size_t waitAndReceive(std::uint8_t* buffer, std::size_t size, bool unlimited, int limitMs,
                               DatagramSender* from);
    int boundPort() const;

    std::string host_;
    int port_ = 0;
    int receiveTimeout_ = kNoTimeLimit;
    int bufferSize_ = 8192;
    bool broadcastEnabled_ = false;
    // A descriptor on Linux, a SOCKET on Windows; -1 when there is none.
    std::intptr_t socket_ = -1;
    // What the socket's own receive time limit is set to, in ms (0: none),
    // so that it is changed only when a different wait is asked for.
    long long socketWaitMs_ = -1;
    std::uint32_t destination_ = 0;
};

}  // namespace pst
