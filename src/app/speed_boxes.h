#pragma once
// The main window's two speed boxes take only the printer's serial speeds:
// any other number would reach the printer as another speed's code (or as
// none), and the link would seem to work at a speed that was never set.

#include <string>
#include <string_view>

#include "platform/input_error.h"

namespace pst::app {

struct LinkControls;

// A speed box holding anything but one of the speeds; names the box by its
// control name, and says in its text which speeds there are.
class ESpeedRefusal : public EInvalidInput {
public:
    explicit ESpeedRefusal(std::string_view control);
    const std::string& control() const { return control_; }

private:
    std::string control_;
};

inline constexpr std::string_view kDeviceSpeedBox = "cbb_DevBauRate";
inline constexpr std::string_view kTransferSpeedBox = "cbb_TranBauRate";

// Whether `text` is one of 1200 2400 ... 230400, written as the list has it.
bool IsListedSpeed(std::string_view text);

// On a serial link both boxes must hold a listed speed (the other links do
// not use them): throws ESpeedRefusal for the first that does not, the
// transfer speed's box first, as the link uses it first.
void RequireListedSpeeds(const LinkControls& controls);

// "CAPTION: choose one of these speeds: 1200 2400 ... 230400".
std::string SpeedRefusalText(std::string_view caption);

}  // namespace pst::app
