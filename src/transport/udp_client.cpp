#include "transport/udp_client.h"

#include <algorithm>
#include <string_view>

#include "platform/text_compare.h"
#include "transport/udp_client_system.h"

namespace pst {

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;

// Four parts separated by dots, each a number from 0 to 255.
bool parseDottedIPv4(std::string_view text, std::uint32_t& out)
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
    out = value;
    return true;
}

}  // namespace

void raiseSocketError(int code)
{
    throw ESocketError(socketErrorText(code), code);
}

std::uint32_t resolveIPv4(const std::string& host)
{
    if (equalsIgnoringAsciiCase(host, "LOCALHOST"))
        return kLoopback;
    std::uint32_t address = 0;
    if (parseDottedIPv4(host, address))
        return address;
    return lookUpIPv4(host);
}

std::string socketErrorDescription(int code)
{
    for (const auto& entry : kSocketErrors.descriptions)
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
    setActive(false);
}

void TUdpClient::setActive(bool active)
{
    if (active) {
        ensureSocket();
        return;
    }
    if (socket_ < 0)
        return;
    closeSocket();
    socket_ = -1;
}

void TUdpClient::ensureSocket()
{
    if (socket_ >= 0)
        return;
    socket_ = openSocket();
    socketWaitMs_ = 0;
}

void TUdpClient::SendDatagram(const std::uint8_t* buffer, std::size_t count)
{
    ensureSocket();
    // A port outside the 16-bit range would otherwise be cut down to some
    // other printer's port.
    if (port_ < 0 || port_ > 65535)
        raiseSocketError(kSocketErrors.invalidArgument);

    destination_ = resolveIPv4(host_);
    std::size_t sent = 0;
    if (const int error = sendTo(destination_, buffer, count, sent); error != 0) {
        if (error == kSocketErrors.messageTooLong)
            throw ESocketError("Package Size Too Big.", kSocketErrors.messageTooLong);
        raiseSocketError(error);
    }
    if (sent != count)
        throw ESocketError("Not all bytes sent.");
}

std::size_t TUdpClient::ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs)
{
    const std::size_t got = receive(buffer, size, timeoutMs, nullptr);
    if (got > size)
        raiseSocketError(kSocketErrors.messageTooLong);
    return got;
}

std::size_t TUdpClient::ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs,
                                        DatagramSender& from)
{
    // One system tells an oversized datagram's real length, the other only
    // that it did not fit: both come out as size + 1.
    return std::min(receive(buffer, size, timeoutMs, &from), size + 1);
}

int TUdpClient::localPort() const
{
    return socket_ < 0 ? 0 : boundPort();
}

std::size_t TUdpClient::receive(std::uint8_t* buffer, std::size_t size, int timeoutMs, DatagramSender* from)
{
    ensureSocket();
    if (timeoutMs == kUseReceiveTimeout)
        timeoutMs = receiveTimeout_;
    // Only "no limit" may wait without end; any other negative value would
    // otherwise hang the worker for good.
    const bool unlimited = timeoutMs == kNoTimeLimit;
    return waitAndReceive(buffer, size, unlimited, unlimited ? 0 : std::max(timeoutMs, 0), from);
}

}  // namespace pst
