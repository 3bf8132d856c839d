#pragma once
// Translation of the component's line settings into what a Linux tty takes:
// a termios record plus the modem-control lines to raise or lower. Pure
// functions, so the mapping can be checked without a device.
//
// Properties that Linux has no equivalent for are kept by the component (the
// getters return them) but have no effect on the line:
//   - Outx_DsrFlow, DsrSensitivity: the tty layer has no DSR-driven flow
//     control or DSR gating of input.
//   - XonLimit, XoffLimit: the kernel decides itself when its input buffer is
//     full enough to send XOFF.
//   - ReplaceWhenParityError / ReplacedChar: a tty can drop bad characters
//     (IGNPAR), mark them (PARMRK) or pass them as NUL, but cannot substitute
//     a chosen byte.
//   - TxContinueOnXoff: IXANY (any byte restarts output) is a different rule,
//     so it is not used as a stand-in.
//   - DtrHandshake: there is no DTR flow control; DTR is simply raised.
//   - WriteTotalTimeoutMultiplier/Constant: a write is always carried through
//     to the end, so a write deadline could only split it, never shorten it.

#include <cstdint>
#include <optional>

#include <termios.h>

#include "transport/comm_types.h"

namespace pst {

// The termios speed constant for a rate in bits per second, or nothing when
// the rate is not one of the standard ones.
std::optional<speed_t> standardSpeed(std::uint32_t baudRate);

// The record to hand to tcsetattr. Starts from the port's current record so
// that fields the component does not own keep the driver's values; a rate
// without a standard constant leaves the current speed in place.
termios commTermios(const termios& current, const CommLineSettings& settings);

// TIOCM_ bits to raise (TIOCMBIS) and to lower (TIOCMBIC).
struct ModemControl {
    int raise = 0;
    int lower = 0;
};
ModemControl commModemControl(const CommLineSettings& settings);

}  // namespace pst
