#include "host_port.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace pst::sim::test {
namespace {

speed_t toSpeedT(unsigned baud)
{
    switch (baud) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        throw std::invalid_argument("test port speed not mapped");
    }
}

std::uint8_t xorAll(std::span<const std::uint8_t> bytes)
{
    std::uint8_t acc = 0;
    for (auto b : bytes)
        acc ^= b;
    return acc;
}

}  // namespace

Bytes packet(std::uint16_t command, std::uint32_t arg1, std::uint32_t arg2, const Bytes& payload)
{
    Bytes out{0x02, 0x00};
    auto le = [&out](std::uint32_t v, int width) {
        for (int i = 0; i < width; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    le(command, 2);
    le(arg1, 4);
    le(arg2, 4);
    le(static_cast<std::uint32_t>(payload.size()), 2);
    out.push_back(xorAll(out));
    out.push_back(0x00);
    if (!payload.empty()) {
        out.insert(out.end(), payload.begin(), payload.end());
        out.push_back(xorAll(payload));
    }
    return out;
}

bool headerCheckOk(std::span<const std::uint8_t> frame)
{
    return frame.size() >= 16 && frame[0] == 0x02 && xorAll(frame.first(16)) == 0;
}

std::size_t payloadLength(std::span<const std::uint8_t> frame)
{
    return frame.size() >= 16 ? static_cast<std::size_t>(frame[12] | (frame[13] << 8)) : 0;
}

bool payloadCheckOk(std::span<const std::uint8_t> frame)
{
    const std::size_t n = payloadLength(frame);
    return n == 0 || (frame.size() >= 17 + n && xorAll(frame.subspan(16, n + 1)) == 0);
}

std::size_t completeFrameLength(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 16)
        return 0;
    const std::size_t n = payloadLength(bytes);
    const std::size_t total = n == 0 ? 16 : n + 17;
    return bytes.size() >= total ? total : 0;
}

HostPort::HostPort(const std::string& path, unsigned baud)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error("cannot open " + path);
    setSpeed(baud);
}

HostPort::~HostPort()
{
    ::close(fd_);
}

void HostPort::setSpeed(unsigned baud)
{
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, toSpeedT(baud));
    ::cfsetospeed(&tio, toSpeedT(baud));
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0)
        throw std::runtime_error("tcsetattr failed");
}

void HostPort::send(const Bytes& bytes)
{
    if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("short write to the printer");
    }
}

std::vector<Bytes> HostPort::readPieces(int timeoutMs)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    std::vector<Bytes> pieces;
    Bytes all;
    while (true) {
        const auto start = std::find(all.begin(), all.end(), std::uint8_t{0x02});
        if (completeFrameLength(std::span(all).subspan(static_cast<std::size_t>(start - all.begin()))) != 0) {
            return pieces;
        }
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        pollfd pfd{fd_, POLLIN, 0};
        if (left <= 0 || ::poll(&pfd, 1, static_cast<int>(left)) <= 0)
            return pieces;
        std::uint8_t buf[512];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            pieces.emplace_back(buf, buf + n);
            all.insert(all.end(), buf, buf + n);
        }
    }
}

Bytes HostPort::readReply(int timeoutMs)
{
    Bytes all;
    for (const auto& piece : readPieces(timeoutMs))
        all.insert(all.end(), piece.begin(), piece.end());
    return all;
}

}  // namespace pst::sim::test
