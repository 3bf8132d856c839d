#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pst::requests {

// The ranges of the settings typed as numbers. The window's spin edits, the
// request builders, the command line and profiles all hold to them: a value
// outside would be cut to fit the packet's field and sent as another value.
inline constexpr std::int32_t kMinTimeSeconds = 1;
inline constexpr std::int32_t kMaxSleepSeconds = 999999999;  // sleep and power-off times
inline constexpr std::int32_t kMaxMemoryAddress = 0x7FFFFFFF;

// How a typed field is written.
enum class FieldForm {
    Decimal,      // a whole number from `lowest` to `highest`
    Hexadecimal,  // hexadecimal digits, 0x before them or not
    Address,      // a whole dotted IPv4 address: four parts from 0 to 255
    Digits,       // up to `highest` digits 0 to 9, sent as text; none is no number
    Text,         // free text, at most `highest` bytes in the printer's code page
    List,         // a position in a list: `itemList`'s items
    OnOff,        // a check box, on or off
};

// A field the user types a setting into: the parameter window's control
// (its object name), the name it goes by without the window (the record's
// key, which profiles use too), and what it takes. A refusal names the
// field (see EFieldRefusal).
struct SettingField {
    std::string_view control;
    std::string_view name;
    FieldForm form = FieldForm::Decimal;
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
    // The command line's name for it: an option ("--sleep") or, in capitals,
    // a word in the command's place ("SECONDS").
    std::string_view cli = {};
    // The window's label before the control (its caption is translated
    // under this name).
    std::string_view caption = {};
    // A list's items: the translatable list's section, or a fixed list's
    // name (see the front ends' list lookups).
    std::string_view itemList = {};
    // The text the parameter window's record holds when it has none, for a
    // field whose record key its group's description brings.
    std::string_view recordDefault = {};
};

// The same field as the command line and the window's label name it.
constexpr SettingField named(SettingField field, std::string_view cli, std::string_view caption)
{
    field.cli = cli;
    field.caption = caption;
    return field;
}

constexpr SettingField listField(std::string_view control, std::string_view name, std::string_view itemList,
                                 std::string_view cli, std::string_view caption)
{
    return {control, name, FieldForm::List, 0, 0, cli, caption, itemList};
}

constexpr SettingField decimalField(std::string_view control, std::string_view name, std::int32_t lowest,
                                    std::int32_t highest)
{
    return {control, name, FieldForm::Decimal, lowest, highest};
}

constexpr SettingField hexField(std::string_view control, std::string_view name, std::int32_t highest)
{
    return {control, name, FieldForm::Hexadecimal, 0, highest};
}

constexpr SettingField addressField(std::string_view control, std::string_view name)
{
    return {control, name, FieldForm::Address};
}

// Basic page.
inline constexpr SettingField kSleepTimeField =
    decimalField("edt_sleepTime", "sleepTime", kMinTimeSeconds, kMaxSleepSeconds);
inline constexpr SettingField kPowerOffTimeField =
    decimalField("edt_poweroffTime", "poweroffTime", kMinTimeSeconds, kMaxSleepSeconds);

// Bluetooth page: the module type is one byte.
inline constexpr SettingField kBluetoothTypeField = decimalField("edt_lyType", "BlueToolthType", 0, 255);

// WiFi page, station mode.
inline constexpr SettingField kStationIpField = addressField("edt_IPaddress", "IPaddress");
inline constexpr SettingField kStationMaskField = addressField("edt_Mask", "Maskaddress");
inline constexpr SettingField kStationGatewayField = addressField("edt_Gateway", "Gatewayaddress");
inline constexpr SettingField kStationPortField = decimalField("edt_Port", "Port", 0, 65535);

// Network page; only the IP address is kept in the record.
inline constexpr SettingField kEthernetIpField = addressField("edt_NetIPAddress", "NetIPAddress");
inline constexpr SettingField kEthernetMaskField = addressField("edt_Subnetmask", "Subnetmask");
inline constexpr SettingField kEthernetGatewayField = addressField("edt_gatewayt", "Gateway");
inline constexpr SettingField kEthernetPortField = decimalField("edt_Netport", "NetPort", 2, 65535);
// The four bytes of the MAC address after its fixed AB CD.
inline constexpr std::array<SettingField, 4> kMacByteFields{
    hexField("edt_macaddo", "MAC 3", 0xFF), hexField("edt_macaddt", "MAC 4", 0xFF),
    hexField("edt_macaddfr", "MAC 5", 0xFF), hexField("edt_macaddfor", "MAC 6", 0xFF)};

// Download page.
inline constexpr SettingField kWaitTimeField = decimalField("edt_WaitTime", "WaitTime", 0, 24 * 3600);
inline constexpr SettingField kFontAddressField = hexField("edt_FontAddress", "FontAddress", kMaxMemoryAddress);
inline constexpr SettingField kLogoThresholdField = decimalField("edt_Threshold", "LogoThreshold", 0, 255);
inline constexpr SettingField kReadStartField = hexField("edt_StartAddress", "StartAddress", kMaxMemoryAddress);
inline constexpr SettingField kReadLengthField = decimalField("edt_ReadLength", "ReadLength", 1, kMaxMemoryAddress);

// Black-mark page, in millimetres, as the edits' hints say.
inline constexpr SettingField kBlackMarkDistanceField =
    decimalField("edt__Black_look_distance", "Blacklookdistance", 400, 4000);
inline constexpr SettingField kBlackMarkWidthField = decimalField("edt__Black_width", "Blackwidth", 40, 120);
inline constexpr SettingField kFeedAfterMarkField =
    decimalField("edt_cutter_optocoupler", "Cutteroptocoupler", 0, 1700);

// Product page. The serial number is stepped as a number after each
// printer, so it holds digits only, as many as its field has bytes.
inline constexpr SettingField kSerialNumberField{"edt_DeviceSerialNo", "DeviceSerialNo", FieldForm::Digits, 0, 20};

}  // namespace pst::requests
