#include "settings_commands.h"

#include "line_speeds.h"
#include "wire_format.h"

#include <algorithm>
#include <array>

namespace pst::sim {
namespace {

constexpr std::size_t kControlTextHistory = 20;
constexpr std::array<unsigned, 5> kInfraredSpeeds{9600, 19200, 38400, 57600, 115200};

using Payload = std::vector<std::uint8_t>;

// A zero-terminated text in a field of `width` bytes; a text filling the
// field has no terminator.
std::string fieldText(const Payload& p, std::size_t at, std::size_t width)
{
    const auto first = p.begin() + static_cast<std::ptrdiff_t>(at);
    const auto last = std::find(first, first + static_cast<std::ptrdiff_t>(width), 0);
    return {first, last};
}

std::int32_t i32(const Payload& p, std::size_t at)
{
    return static_cast<std::int32_t>(wire::readLe(p, at, 4));
}

std::array<std::uint8_t, 4> address(const Payload& p, std::size_t at)
{
    return {p[at], p[at + 1], p[at + 2], p[at + 3]};
}

// A length byte and that many bytes; false when the payload ends too soon.
bool countedText(const Payload& p, std::size_t& at, std::string& text)
{
    if (at >= p.size() || at + 1 + p[at] > p.size())
        return false;
    const auto first = p.begin() + static_cast<std::ptrdiff_t>(at + 1);
    text.assign(first, first + p[at]);
    at += 1 + p[at];
    return true;
}

// A new stored speed takes effect for the next conversation. When the host
// has the printer on a temporary speed, that conversation begins once the
// host switches it back; otherwise right after this reply.
void changeDeviceSpeed(PrinterState& state, unsigned speed, CommandOutcome& outcome)
{
    const unsigned previous = state.settings.deviceSpeed;
    state.settings.deviceSpeed = speed;
    if (state.speed != previous) {
        state.speedChangePendingUntilReturnTo = previous;
    } else {
        state.speedChangePendingUntilReturnTo.reset();
        outcome.speedAfterReply = speed;
    }
}

CommandOutcome setIp(PrinterState& state, const ReceivedFrame& frame)
{
    state.settings.setIpArguments = std::array<std::uint32_t, 2>{frame.arg1, frame.arg2};
    return {};
}

CommandOutcome restoreDefaults(PrinterState& state, const ReceivedFrame& /*frame*/)
{
    // The link settings survive, or the host could not reach the printer to
    // hear that it worked.
    PrinterSettings defaults;
    defaults.deviceSpeed = state.settings.deviceSpeed;
    defaults.flowControl = state.settings.flowControl;
    defaults.defaultsRestored = state.settings.defaultsRestored + 1;
    state.settings = std::move(defaults);
    return {};
}

CommandOutcome codePage(PrinterState& state, const ReceivedFrame& frame)
{
    if (!frame.payload.empty())
        state.settings.codePage = frame.payload[0];
    return {};
}

// The tool closes the link right after the acknowledgement and opens the
// next one at the new speed, so the printer moves there at once.
CommandOutcome baudRate(PrinterState& state, const ReceivedFrame& frame)
{
    CommandOutcome outcome;
    if (frame.payload.empty() || frame.payload[0] > 8)
        return outcome;
    const unsigned speed = baudForSpeedCode(frame.payload[0]);
    state.settings.deviceSpeed = speed;
    state.speedChangePendingUntilReturnTo.reset();
    outcome.speedAfterReply = speed;
    return outcome;
}

CommandOutcome switchOptions(PrinterState& state, const ReceivedFrame& frame)
{
    if (frame.payload.size() >= 2) {
        state.settings.optionFlags = frame.payload[0];
        state.settings.lineFeed = frame.payload[1];
    }
    return {};
}

CommandOutcome bluetooth(PrinterState& state, const ReceivedFrame& frame)
{
    const Payload& p = frame.payload;
    if (p.size() < 56)
        return {};
    BluetoothSettings& bt = state.settings.bluetooth;
    bt.mode = p[0];
    bt.name = fieldText(p, 1, 20);
    bt.password = fieldText(p, 21, 13);
    bt.dualModeName = fieldText(p, 34, 20);
    bt.passwordCheck = p[54];
    bt.moduleType = p[55];
    return {};
}

CommandOutcome infrared(PrinterState& state, const ReceivedFrame& frame)
{
    const Payload& p = frame.payload;
    if (p.size() < 3)
        return {};
    InfraredSettings& ir = state.settings.infrared;
    ir.speed = p[0] < kInfraredSpeeds.size() ? kInfraredSpeeds[p[0]] : 0;
    ir.enabled = p[1] != 0;
    ir.protocol = p[2];
    return {};
}

CommandOutcome product(PrinterState& state, const ReceivedFrame& frame)
{
    if (frame.payload.size() >= 40) {
        state.settings.productName = fieldText(frame.payload, 0, 20);
        state.settings.productSerial = fieldText(frame.payload, 20, 20);
    }
    return {};
}

CommandOutcome sleepTimes(PrinterState& state, const ReceivedFrame& frame)
{
    if (frame.payload.size() >= 8) {
        state.settings.sleepSeconds = i32(frame.payload, 0);
        state.settings.powerOffSeconds = i32(frame.payload, 4);
    }
    return {};
}

CommandOutcome bluetoothControl(PrinterState& state, const ReceivedFrame& frame)
{
    BluetoothSettings& bt = state.settings.bluetooth;
    const std::string text(frame.payload.begin(), frame.payload.end());
    if (text == "AT+HSM=2")
        bt.workMode = "high speed";
    else if (text == "AT+HSM=0")
        bt.workMode = "normal";
    bt.controlTexts.push_back(text);
    while (bt.controlTexts.size() > kControlTextHistory)
        bt.controlTexts.pop_front();
    return {};
}

CommandOutcome allParameters(PrinterState& state, const ReceivedFrame& frame)
{
    const Payload& p = frame.payload;
    CommandOutcome outcome;
    if (p.size() < 12)
        return outcome;
    PrinterSettings& s = state.settings;
    s.codePage = p[0];
    s.optionFlags = p[2];
    s.lineFeed = p[3];
    s.sleepSeconds = i32(p, 4);
    s.powerOffSeconds = i32(p, 8);
    if (p[1] <= 8 && baudForSpeedCode(p[1]) != s.deviceSpeed)
        changeDeviceSpeed(state, baudForSpeedCode(p[1]), outcome);
    return outcome;
}

CommandOutcome wifiAccessPoint(PrinterState& state, const ReceivedFrame& frame)
{
    WifiSettings& wifi = state.settings.wifi;
    std::size_t at = 0;
    std::string name;
    std::string password;
    if (countedText(frame.payload, at, name) && countedText(frame.payload, at, password)) {
        wifi.accessPointName = name;
        wifi.accessPointPassword = password;
        wifi.enabled = true;
        wifi.mode = "access point";
    }
    return {};
}

CommandOutcome wifiStation(PrinterState& state, const ReceivedFrame& frame)
{
    const Payload& p = frame.payload;
    WifiStation station;
    std::size_t at = 0;
    if (!countedText(p, at, station.ssid) || !countedText(p, at, station.password))
        return {};
    if (p.size() - at >= 15) {
        station.ip = address(p, at);
        station.mask = address(p, at + 4);
        station.gateway = address(p, at + 8);
        station.port = static_cast<std::uint16_t>(p[at + 12] | p[at + 13] << 8);
        station.addressing = p[at + 14] == 1 ? "static" : "dynamic";
    } else {
        station.addressing = "not given";
    }
    WifiSettings& wifi = state.settings.wifi;
    wifi.station = station;
    wifi.enabled = true;
    wifi.mode = "station";
    return {};
}

CommandOutcome closeWifi(PrinterState& state, const ReceivedFrame& /*frame*/)
{
    state.settings.wifi.enabled = false;
    return {};
}

CommandOutcome recyclingTime(PrinterState& state, const ReceivedFrame& frame)
{
    if (!frame.payload.empty())
        state.settings.recyclingSeconds = frame.payload[0];
    return {};
}

CommandOutcome flowControl(PrinterState& state, const ReceivedFrame& frame)
{
    if (!frame.payload.empty())
        state.settings.flowControl = frame.payload[0];
    return {};
}

struct Entry {
    std::uint16_t code;
    CommandHandler handler;
};

constexpr std::array<Entry, 16> kSettingsTable{{
    {command::kSetIp, &setIp},
    {command::kRestoreDefaults, &restoreDefaults},
    {command::kCodePage, &codePage},
    {command::kBaudRate, &baudRate},
    {command::kSwitchOptions, &switchOptions},
    {command::kBluetooth, &bluetooth},
    {command::kInfrared, &infrared},
    {command::kProduct, &product},
    {command::kSleepTimes, &sleepTimes},
    {command::kBluetoothControl, &bluetoothControl},
    {command::kAllParameters, &allParameters},
    {command::kWifiAccessPoint, &wifiAccessPoint},
    {command::kWifiStation, &wifiStation},
    {command::kCloseWifi, &closeWifi},
    {command::kRecyclingTime, &recyclingTime},
    {command::kFlowControl, &flowControl},
}};

}  // namespace

CommandHandler settingsCommandHandler(std::uint16_t code)
{
    for (const Entry& entry : kSettingsTable)
        if (entry.code == code)
            return entry.handler;
    return nullptr;
}

}  // namespace pst::sim
