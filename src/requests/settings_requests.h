#pragma once
// The settings sent as answered command packets (and the two bare switches
// of the basic and product pages): one builder per setting, used by the
// parameter window's buttons and by the command line alike. Each takes
// what the window's controls give (list positions, kNoSelection for none;
// the typed texts) or, where the command line reads a number itself, the
// number; both forms hold the number to its field's range
// (setting_ranges.h).
//
// A builder returns nothing when the control asks for nothing (a list
// without a selection). Input the user must be told about throws
// EInvalidInput with the text to show, an EFieldRefusal when it is about a
// typed field (a text that is no number of the field's range, an empty one
// included); nothing is started then.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/settings_payloads.h"
#include "protocol/value_mappings.h"
#include "requests/request.h"

namespace pst::requests {

// Basic page.
MaybeRequest BaudRateRequest(int baudRatePosition);
MaybeRequest FlowControlRequest(int flowControlPosition);  // bare
MaybeRequest CodePageRequest(int codePagePosition);
// The same command goes out under either operation; the window uses the
// usual one.
Request SwitchOptionsRequest(int densityPosition, int fontPosition, bool cutter, bool buzzer,
                             int paperFeedPosition, Operation operation = Operation::SetSwitchOptions);

struct BasicPageValues {
    int baudRatePosition = kNoSelection;
    int codePagePosition = kNoSelection;
    int densityPosition = kNoSelection;
    int fontPosition = kNoSelection;
    bool cutter = false;
    bool buzzer = false;
    int paperFeedPosition = kNoSelection;
    std::string sleepText;
    std::string powerOffText;
};
Request AllParametersRequest(const AllParameters& parameters);
Request AllParametersRequest(const BasicPageValues& values);
Request RestoreDefaultsRequest();

// Product page.
Request ProductRequest(std::string_view name, std::string_view serialNumber);
MaybeRequest BluetoothHidingRequest(int hidingPosition);  // bare

// Bluetooth page. Both names empty is refused (EInvalidInput); the window's
// button does nothing then instead.
Request BluetoothRequest(const BluetoothParameters& parameters);
MaybeRequest BluetoothWorkModeRequest(int workModePosition);
// An empty control text is refused; the window's button does nothing then.
Request BluetoothControlTextRequest(std::string_view text);
MaybeRequest BluetoothControlTextRequestIfGiven(std::string_view text);

// WiFi page.
Request AccessPointRequest(std::string_view broadcastName, std::string_view password);
Request StationRequest(const WifiStationParameters& parameters);
Request CloseWifiRequest();

// Infrared page.
MaybeRequest InfraredRequest(int speedPosition, bool enabled, int protocolPosition);

// Sent by no window: the set-IP packet with two numbers the printer
// interprets, and the bare pair 8D 00 / 8D 01.
Request SetIpRequest(std::int32_t first, std::int32_t second);
Request RawPair8DRequest(int value);

// After the device parameters were set: the serial number one up (plus) or
// one down (minus), or nothing when the text is empty or neither direction
// is chosen. Throws EConvertError when the text is not a whole number.
std::optional<std::string> SteppedSerialNumber(std::string_view serialText, bool minus, bool plus);

}  // namespace pst::requests
