#pragma once
// The main window's two speed boxes take only the printer's serial speeds:
// any other number would reach the printer as another speed's code (or as
// none), and the link would seem to work at a speed that was never set.
// The network port box takes only a port: anything else once became 5100
// without a word.

#include <optional>
#include <string>
#include <string_view>

#include "platform/input_error.h"

namespace pst::app {

struct LinkControls;

// A link box holding what the link cannot use: a speed box anything but one
// of the speeds, the port box anything but a port. Names the box by its
// control name; textFor says what it takes under the box's caption.
class ELinkBoxRefusal : public EInvalidInput {
public:
    explicit ELinkBoxRefusal(std::string_view control);
    const std::string& control() const { return control_; }
    std::string textFor(std::string_view caption) const;

private:
    std::string control_;
};

inline constexpr std::string_view kDeviceSpeedBox = "cbb_DevBauRate";
inline constexpr std::string_view kTransferSpeedBox = "cbb_TranBauRate";
inline constexpr std::string_view kPortBox = "edt_Port";
inline constexpr int kLowestPort = 1;
inline constexpr int kHighestPort = 65535;

// Whether `text` is one of 1200 2400 ... 230400, written as the list has it.
bool IsListedSpeed(std::string_view text);

// On a serial link both speed boxes must hold a listed speed (the other
// links do not use them), on the network link the port box a port: throws
// ELinkBoxRefusal for the first that does not, the transfer speed's box
// before the device speed's, as the link uses it first.
void RequireUsableLinkBoxes(const LinkControls& controls);

// The port the box holds: a whole number from kLowestPort to kHighestPort,
// or nothing.
std::optional<int> PortInBox(std::string_view text);

// "CAPTION: choose one of these speeds: 1200 2400 ... 230400".
std::string SpeedRefusalText(std::string_view caption);

}  // namespace pst::app
