#pragma once
// Value types of the serial port component: its failure class, the choices of
// its line settings and the two groups of properties it hands to the device.
// Kept free of system headers so that users of TComm do not pull in termios.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pst {

// The only failure the serial port component raises; the message is one of a
// fixed set of English texts that the command engine shows as they are. The
// detail, when there is one, says what the system reported (which device,
// and why), for a technician who needs to know more than the fixed text.
class ECommsError : public std::runtime_error {
public:
    explicit ECommsError(const std::string& message, std::string detail = {})
        : std::runtime_error(message), detail_(std::move(detail))
    {
    }

    const std::string& detail() const noexcept { return detail_; }

private:
    std::string detail_;
};

enum class TParity { None, Odd, Even, Mark, Space };
enum class TByteSize { _5, _6, _7, _8 };
enum class TStopBits { _1, _1_5, _2 };
enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };

// Everything that shapes the line itself. Applied as a whole, so a value that
// was stored without being applied (Parity) travels with the next change.
struct CommLineSettings {
    std::uint32_t baudRate = 9600;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    TDtrControl dtrControl = TDtrControl::DtrEnable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outxXonXoffFlow = true;
    bool inxXonXoffFlow = true;
    bool replaceWhenParityError = false;
    bool ignoreNullChar = false;
    TRtsControl rtsControl = TRtsControl::RtsEnable;
    std::uint16_t xonLimit = 500;
    std::uint16_t xoffLimit = 500;
    TByteSize byteSize = TByteSize::_8;
    TParity parity = TParity::None;
    TStopBits stopBits = TStopBits::_1;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char replacedChar = 0;

    bool operator==(const CommLineSettings&) const = default;
};

// Milliseconds. The read values decide how received bytes are cut into chunks;
// see the reader for the exact rules.
struct CommTimeouts {
    std::uint32_t readInterval = 100;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;

    bool operator==(const CommTimeouts&) const = default;
};

}  // namespace pst
