#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pst::sim::test {

using Bytes = std::vector<std::uint8_t>;

// Encodes a request independently of the printer's own encoder, so a shared
// misunderstanding of the layout cannot cancel itself out.
Bytes packet(std::uint16_t command, std::uint32_t arg1 = 0, std::uint32_t arg2 = 0,
             const Bytes& payload = {});

inline const Bytes kIdentifyPayload{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
inline Bytes identifyPacket()
{
    return packet(0x30, 0, 0, kIdentifyPayload);
}

bool headerCheckOk(std::span<const std::uint8_t> frame);   // XOR of 16 header bytes is 0
bool payloadCheckOk(std::span<const std::uint8_t> frame);  // XOR of payload + check is 0
std::size_t payloadLength(std::span<const std::uint8_t> frame);
// Length of the frame at the front of `bytes`, or 0 if it is not all there.
std::size_t completeFrameLength(std::span<const std::uint8_t> bytes);

// The host's end of the printer's serial line: the pty slave, opened and set
// up the way the setting tool does it.
class HostPort {
public:
    explicit HostPort(const std::string& path, unsigned baud = 9600);
    ~HostPort();
    HostPort(const HostPort&) = delete;
    HostPort& operator=(const HostPort&) = delete;

    void setSpeed(unsigned baud);
    void send(const Bytes& bytes);

    // Each read() result as one piece, until the pieces hold a whole frame
    // (after any leading bytes that are not a start byte) or time runs out.
    std::vector<Bytes> readPieces(int timeoutMs);
    Bytes readReply(int timeoutMs = 2000);

private:
    int fd_ = -1;
};

}  // namespace pst::sim::test
