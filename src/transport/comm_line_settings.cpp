#include "transport/comm_line_settings.h"

#include <array>
#include <utility>

#include <sys/ioctl.h>

namespace pst {

namespace {

struct SpeedEntry {
    std::uint32_t rate;
    speed_t code;
};

constexpr std::array kSpeeds{
    SpeedEntry{50, B50},           SpeedEntry{75, B75},           SpeedEntry{110, B110},
    SpeedEntry{134, B134},         SpeedEntry{150, B150},         SpeedEntry{200, B200},
    SpeedEntry{300, B300},         SpeedEntry{600, B600},         SpeedEntry{1200, B1200},
    SpeedEntry{1800, B1800},       SpeedEntry{2400, B2400},       SpeedEntry{4800, B4800},
    SpeedEntry{9600, B9600},       SpeedEntry{19200, B19200},     SpeedEntry{38400, B38400},
    SpeedEntry{57600, B57600},     SpeedEntry{115200, B115200},   SpeedEntry{230400, B230400},
    SpeedEntry{460800, B460800},   SpeedEntry{500000, B500000},   SpeedEntry{576000, B576000},
    SpeedEntry{921600, B921600},   SpeedEntry{1000000, B1000000}, SpeedEntry{1152000, B1152000},
    SpeedEntry{1500000, B1500000}, SpeedEntry{2000000, B2000000}, SpeedEntry{2500000, B2500000},
    SpeedEntry{3000000, B3000000}, SpeedEntry{3500000, B3500000}, SpeedEntry{4000000, B4000000},
};

tcflag_t characterSize(TByteSize size)
{
    switch (size) {
    case TByteSize::_5:
        return CS5;
    case TByteSize::_6:
        return CS6;
    case TByteSize::_7:
        return CS7;
    case TByteSize::_8:
        return CS8;
    }
    return CS8;
}

tcflag_t parityFlags(TParity parity)
{
    // With CMSPAR the parity bit is fixed: PARODD makes it 1 (mark), its
    // absence 0 (space).
    switch (parity) {
    case TParity::None:
        return 0;
    case TParity::Odd:
        return PARENB | PARODD;
    case TParity::Even:
        return PARENB;
    case TParity::Mark:
        return PARENB | CMSPAR | PARODD;
    case TParity::Space:
        return PARENB | CMSPAR;
    }
    return 0;
}

}  // namespace

std::optional<speed_t> standardSpeed(std::uint32_t baudRate)
{
    for (const auto& entry : kSpeeds)
        if (entry.rate == baudRate)
            return entry.code;
    return std::nullopt;
}

termios commTermios(const termios& current, const CommLineSettings& s)
{
    termios t = current;
    cfmakeraw(&t);
    // Every flag this component owns is cleared first and set again from the
    // properties, so that a property switched off really goes away.
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF | IXANY | IGNPAR | PARMRK);
    t.c_cflag |= CLOCAL | CREAD;

    t.c_cflag |= characterSize(s.byteSize);
    t.c_cflag |= parityFlags(s.parity);
    if (s.stopBits != TStopBits::_1)
        t.c_cflag |= CSTOPB;  // 1.5 stop bits is what the UART makes of CSTOPB with 5 data bits
    if (s.parityCheck)
        t.c_iflag |= INPCK;
    if (s.outxCtsFlow || s.rtsControl == TRtsControl::RtsHandshake)
        t.c_cflag |= CRTSCTS;  // one flag covers both directions of hardware handshake
    if (s.outxXonXoffFlow)
        t.c_iflag |= IXON;
    if (s.inxXonXoffFlow)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
    // The reader works on a non-blocking descriptor and times gaps itself with
    // poll(); VTIME's tenths of a second would be far too coarse.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    if (auto speed = standardSpeed(s.baudRate)) {
        cfsetispeed(&t, *speed);
        cfsetospeed(&t, *speed);
    }
    return t;
}

ModemControl commModemControl(const CommLineSettings& s)
{
    ModemControl control;
    if (s.dtrControl == TDtrControl::DtrDisable)
        control.lower |= TIOCM_DTR;
    else
        control.raise |= TIOCM_DTR;

    // With hardware handshake or transmission-driven RTS the driver owns RTS.
    if (s.rtsControl == TRtsControl::RtsEnable)
        control.raise |= TIOCM_RTS;
    else if (s.rtsControl == TRtsControl::RtsDisable)
        control.lower |= TIOCM_RTS;
    return control;
}

}  // namespace pst
