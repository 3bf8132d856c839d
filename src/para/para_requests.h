#pragma once
// What each "设置" button of the parameter window asks the worker to do,
// worked out from what the user entered: the operation, its two arguments
// and the hand-over block, or nothing when the button is to do nothing
// (a list without a selection, both Bluetooth names empty, a port out of
// range). Input the user must be told about throws EConvertError (a strict
// conversion) or EInvalidInput (any other refusal) with the text to show;
// nothing is started then.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/comm_thread.h"
#include "protocol/raw_payloads.h"
#include "protocol/settings_payloads.h"

namespace pst::para {

struct ParaRequest {
    int operation = 0;
    std::int32_t argument1 = 0;
    std::int32_t argument2 = 0;
    HandOver handOver;
    // Whether the main window's link choice is copied into the connection
    // settings first.
    bool refreshConnection = false;
};

using MaybeRequest = std::optional<ParaRequest>;

// Basic page.
MaybeRequest BaudRateRequest(int baudRatePosition);
MaybeRequest FlowControlRequest(int flowControlPosition);
MaybeRequest CodePageRequest(int codePagePosition);
ParaRequest SwitchOptionsRequest(int densityPosition, int fontPosition, bool cutter, bool buzzer,
                                 int paperFeedPosition);
ParaRequest SleepTimesRequest(std::string_view sleepText, std::string_view powerOffText);

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
ParaRequest AllParametersRequest(const BasicPageValues& values);
ParaRequest RestoreDefaultsRequest();

// Product page.
ParaRequest ProductRequest(std::string_view name, std::string_view serialNumber);
MaybeRequest InterfaceOptionRequest(InterfaceOption option, int position);
ParaRequest RecyclingTimeRequest(std::string_view secondsText);
MaybeRequest BluetoothHidingRequest(int hidingPosition);

// Bluetooth page.
MaybeRequest BluetoothRequest(const BluetoothParameters& parameters);
MaybeRequest BluetoothWorkModeRequest(int workModePosition);
MaybeRequest BluetoothControlTextRequest(std::string_view text);

// WiFi page.
ParaRequest AccessPointRequest(std::string_view broadcastName, std::string_view password);
ParaRequest StationRequest(const WifiStationParameters& parameters);
ParaRequest CloseWifiRequest();

// Infrared page.
MaybeRequest InfraredRequest(int speedPosition, bool enabled, int protocolPosition);

// Network page: address (41), mask (37) and gateway (38) from the dotted
// text, the MAC tail (40) from four hexadecimal boxes, the port (39), which
// does nothing unless it is from 2 to 65535.
ParaRequest EthernetAddressRequest(EthernetField field, std::string_view dottedText);
ParaRequest EthernetMacRequest(const std::array<std::string, 4>& hexTexts);
MaybeRequest EthernetPortRequest(std::string_view portText);

// Black-mark page.
ParaRequest BlackMarkModeRequest();
ParaRequest CancelBlackMarkRequest();
ParaRequest BlackMarkDistanceRequest(std::string_view text);
ParaRequest BlackMarkWidthRequest(std::string_view text);
ParaRequest FeedAfterMarkRequest(std::string_view text);
ParaRequest FindBlackMarkRequest();
ParaRequest FindBlackMarkAndCutRequest();
ParaRequest BlackMarkTestPrintRequest();

// After the device parameters were set: the serial number one up (plus) or
// one down (minus), or nothing when the text is empty or neither direction
// is chosen. Throws EConvertError when the text is not a whole number.
std::optional<std::string> SteppedSerialNumber(std::string_view serialText, bool minus, bool plus);

}  // namespace pst::para
