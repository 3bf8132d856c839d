#include "requests/setting_group.h"

#include <array>
#include <vector>

#include "protocol/raw_payloads.h"
#include "protocol/value_mappings.h"
#include "requests/raw_requests.h"
#include "requests/settings_requests.h"

namespace pst::requests {

namespace {

using Requests = std::vector<Request>;

Requests one(MaybeRequest request)
{
    return request ? Requests{std::move(*request)} : Requests{};
}

constexpr SettingField textField(std::string_view control, std::string_view name, std::int32_t bytes,
                                 std::string_view cli, std::string_view caption)
{
    return {control, name, FieldForm::Text, 0, bytes, cli, caption};
}

constexpr SettingField onOffField(std::string_view control, std::string_view name, std::string_view cli)
{
    return {control, name, FieldForm::OnOff, 0, 1, cli};
}

// A radio group's position, kept in the record as its number.
constexpr SettingField choiceField(std::string_view control, std::string_view name, std::string_view cli)
{
    return {control, name, FieldForm::List, 0, 0, cli};
}

// ---- Basic page ------------------------------------------------------------

constexpr std::array kBaudRateFields{listField("cbb_BauRate", "BaudRate", "BaudRate", "SPEED", "Label1")};
constexpr std::array kFlowControlFields{
    listField("cbb_Flowcontrol", "Flowcontrol", "Flow control", "MODE", "Label21")};
constexpr std::array kCodePageFields{listField("cbb_Codepage", "CodePage", "CodePage", "ITEM", "Label2")};
constexpr std::array kSwitchFields{
    listField("cbb_Dark", "Dark", "Dark description", "--density", "Label4"),
    listField("cbb_FontValue", "FontValue", "FontValue", "--font", "Label3"),
    onOffField("chk_CutPaper", "CutPaper", "--cutter"),
    onOffField("chk_buzzer", "buzzer", "--buzzer"),
    listField("cbb_Forcepaper", "ForcePaper", "ForcePaper", "--feed", "Label5"),
};
constexpr std::array kSleepFields{named(kSleepTimeField, "--sleep", "Label6"),
                                  named(kPowerOffTimeField, "--poweroff", "Label8")};
// Each time signed 32-bit little-endian.
constexpr std::array kSleepPayload{PayloadPart{0, 4}, PayloadPart{1, 4}};

// ---- Bluetooth page --------------------------------------------------------

constexpr std::array kBluetoothFields{
    textField("edt_lyName", "BlueToolthName", kBluetoothNameBytes, "--name", "Label10"),
    textField("edt_smlyName", "MulBlueToolthName", kBluetoothNameBytes, "--dual-name", "Label11"),
    textField("edt_lyPsw", "BlueToolthPsw", kBluetoothPasswordBytes, "--password", "Label12"),
    named(kBluetoothTypeField, "--type", "Label13"),
    choiceField("rg_lyMode", "BlueToolthMode", "--mode"),
    choiceField("rg_lyPswcheck", "BlueToolthCheck", "--password-check"),
};
constexpr std::array<std::string_view, 2> kBluetoothNames{"BlueToolthName", "MulBlueToolthName"};
constexpr std::array kBluetoothWorkModeFields{
    listField("cbb_lyWorkMode", "BlueToolthWorkMode", "BlueToolth WorkMode", "MODE", "Label14")};

// ---- WiFi page ---------------------------------------------------------------

constexpr std::array kStationFields{
    textField("edt_SSID", "SSID", kWifiTextBytes, "--ssid", "Label17"),
    textField("edt_StaModePsw", "StaModePsw", kWifiTextBytes, "--password", "Label18"),
    // The record keeps the pair's second button (static) as 1.
    onOffField("rb_StaticIP", "IpType", "--static"),
    named(kStationIpField, "--ip", "Label19"),
    named(kStationMaskField, "--mask", "Label20"),
    named(kStationGatewayField, "--gateway", "Label22"),
    named(kStationPortField, "--port", "Label23"),
};
constexpr std::array<std::string_view, 1> kStationName{"SSID"};
constexpr std::array kAccessPointFields{
    textField("edt_GuangboName", "NetworkName", kWifiTextBytes, "--name", "Label15"),
    textField("edt_APPsw", "NetworkPsw", kWifiTextBytes, "--password", "Label16"),
};
constexpr std::array<std::string_view, 1> kAccessPointName{"NetworkName"};

// ---- Infrared, network and black-mark pages ----------------------------------

constexpr std::array kInfraredFields{
    listField("cbb_InfraredBaurate", "InfraredBaurate", "InfraredBaurate", "--speed", "Label30"),
    onOffField("rb_Infrared", "InfraredType", "on|off"),
    listField("cbb_irdaProtecl", "irdaProtecl", "irda Protecl", "--protocol", "Label31"),
};
constexpr std::array kEthernetFields{named(kEthernetIpField, "ADDRESS", "Label24")};
constexpr std::array kBlackMarkFields{named(kBlackMarkDistanceField, "MM", "Label32"),
                                      named(kBlackMarkWidthField, "MM", "Label34"),
                                      named(kFeedAfterMarkField, "MM", "Label36")};

// ---- Product page --------------------------------------------------------------

constexpr std::array kProductFields{
    textField("edt_DeviceName", "DeviceName", kProductFieldBytes, "--name", "Label40"),
    named(kSerialNumberField, "--serial", "Label41"),
};
constexpr std::array<std::string_view, 2> kProductNames{"DeviceName", "DeviceSerialNo"};
constexpr std::array kUsbTypeFields{
    listField("cbb_UsbDeviceTpe", "UsbDeviceTpe", "USB Device Type", "TYPE", "Label42")};
constexpr std::array kPaperTypeFields{listField("cbb_PaperType", "PaperType", "Paper Type", "TYPE", "Label43")};
constexpr std::array kPrintOrderFields{
    listField("cbb_PrinterOrder", "PrinterOrder", "Printer Order", "ORDER", "Label44")};
// The receipt recycling time: the low byte of the seconds.
constexpr SettingField recyclingSeconds()
{
    SettingField field = named(decimalField("edt_RptTime", "RptTime", kMinTimeSeconds, 255), "SECONDS", "Label45");
    field.recordDefault = "30";
    return field;
}
constexpr std::array kRecyclingTimeFields{recyclingSeconds()};
constexpr std::array kRecyclingTimePayload{PayloadPart{0, 1}};
constexpr std::array kBluetoothHidingFields{
    listField("Cbx_Bluetooth", "BluetoothSEEK", "Bluetooth SEEK", "on|off", "Label47")};

// ---- How the groups that are more than a laid-out payload are built ------------

Requests baudRate(const SettingGroup& g, FieldReader& r)
{
    return one(BaudRateRequest(r.position(g.fields[0])));
}

Requests flowControl(const SettingGroup& g, FieldReader& r)
{
    return one(FlowControlRequest(r.position(g.fields[0])));
}

Requests codePage(const SettingGroup& g, FieldReader& r)
{
    return one(CodePageRequest(r.position(g.fields[0])));
}

Requests switches(const SettingGroup& g, FieldReader& r)
{
    const int density = r.position(g.fields[0]);
    const int font = r.position(g.fields[1]);
    const bool cutter = r.onOff(g.fields[2]);
    const bool buzzer = r.onOff(g.fields[3]);
    return one(SwitchOptionsRequest(density, font, cutter, buzzer, r.position(g.fields[4])));
}

Requests bluetooth(const SettingGroup& g, FieldReader& r)
{
    BluetoothParameters p;
    p.name = r.text(g.fields[0]);
    p.dualModeName = r.text(g.fields[1]);
    // Both names blank sets nothing: the window's button does nothing then
    // (a profile leaves the group out before, the command line refuses).
    if (p.name.empty() && p.dualModeName.empty())
        return {};
    p.password = r.text(g.fields[2]);
    p.moduleTypeText = r.text(g.fields[3]);
    p.modePosition = r.position(g.fields[4]);
    p.passwordCheckPosition = r.position(g.fields[5]);
    return one(BluetoothRequest(p));
}

Requests bluetoothWorkMode(const SettingGroup& g, FieldReader& r)
{
    return one(BluetoothWorkModeRequest(r.position(g.fields[0])));
}

Requests wifiStation(const SettingGroup& g, FieldReader& r)
{
    WifiStationParameters p;
    p.ssid = r.text(g.fields[0]);
    p.password = r.text(g.fields[1]);
    p.addressing = r.onOff(g.fields[2]) ? WifiAddressing::Static : WifiAddressing::Dynamic;
    p.ipAddress = r.text(g.fields[3]);
    p.mask = r.text(g.fields[4]);
    p.gateway = r.text(g.fields[5]);
    p.portText = r.text(g.fields[6]);
    return one(StationRequest(p));
}

Requests wifiAccessPoint(const SettingGroup& g, FieldReader& r)
{
    const std::string name = r.text(g.fields[0]);
    return one(AccessPointRequest(name, r.text(g.fields[1])));
}

Requests infrared(const SettingGroup& g, FieldReader& r)
{
    const int speed = r.position(g.fields[0]);
    const bool enabled = r.onOff(g.fields[1]);
    return one(InfraredRequest(speed, enabled, r.position(g.fields[2])));
}

Requests ethernet(const SettingGroup& g, FieldReader& r)
{
    return one(EthernetAddressRequest(EthernetField::IpAddress, r.text(g.fields[0])));
}

Requests blackMark(const SettingGroup& g, FieldReader& r)
{
    const std::string distance = r.text(g.fields[0]);
    const std::string width = r.text(g.fields[1]);
    return {BlackMarkDistanceRequest(distance), BlackMarkWidthRequest(width),
            FeedAfterMarkRequest(r.text(g.fields[2]))};
}

Requests product(const SettingGroup& g, FieldReader& r)
{
    const std::string name = r.text(g.fields[0]);
    return one(ProductRequest(name, r.text(g.fields[1])));
}

template <InterfaceOption Option> Requests interfaceOption(const SettingGroup& g, FieldReader& r)
{
    return one(InterfaceOptionRequest(Option, r.position(g.fields[0])));
}

Requests bluetoothHiding(const SettingGroup& g, FieldReader& r)
{
    return one(BluetoothHidingRequest(r.position(g.fields[0])));
}

// The payload `group.payload` lays out from `numbers`, field for field.
std::vector<std::uint8_t> LaidOutPayload(const SettingGroup& group, std::span<const std::int32_t> numbers)
{
    std::vector<std::uint8_t> block;
    for (const PayloadPart& part : group.payload) {
        const auto value = static_cast<std::uint32_t>(numbers[part.field]);
        for (std::size_t i = 0; i < part.bytes; ++i)
            block.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    return block;
}

// ---- The groups, in the parameter window's order ---------------------------------

const std::array kGroups{
    SettingGroup{.name = "baudrate", .operation = Operation::SetBaudRate, .fields = kBaudRateFields,
                 .button = "btn_SetBauRate", .build = &baudRate, .cliCommand = "set-baudrate",
                 .cliHelp = {"SPEED", "set the printer's serial speed",
                             "SPEED is one of 1200 2400 4800 9600 19200 38400 57600 115200 230400 (or its "
                             "position 0..8).\nThe printer listens at the new speed as soon as it has confirmed.",
                             "the serial-speed setting packet (0x81)", "--serial /dev/ttyUSB0 set-baudrate 115200"},
                 .namedOnly = true},
    SettingGroup{.name = "flowcontrol", .operation = Operation::FlowControlSoftware, .fields = kFlowControlFields,
                 .button = "btn_flowcontrol", .build = &flowControl, .confirmed = false,
                 .cliCommand = "set-flow-control",
                 .cliHelp = {"MODE", "set software or hardware flow control",
                             "MODE is software or hardware. Sent without link setup and without waiting for an "
                             "answer, at --device-speed.",
                             "a bare 0x8D packet, without link setup, at --device-speed",
                             "--serial /dev/ttyUSB0 set-flow-control hardware"}},
    SettingGroup{.name = "codepage", .operation = Operation::SetCodePage, .fields = kCodePageFields,
                 .button = "btn_SetCodepage", .build = &codePage, .cliCommand = "set-codepage"},
    SettingGroup{.name = "switches", .operation = Operation::SetSwitchOptions, .fields = kSwitchFields,
                 .button = "btn_SetForcepaper", .build = &switches, .cliCommand = "set-switches"},
    SettingGroup{.name = "sleep", .operation = Operation::SetSleepTimes, .fields = kSleepFields,
                 .button = "btn_SetpoweroffTime", .payload = kSleepPayload, .refreshConnection = true,
                 .cliCommand = "set-sleep",
                 .cliHelp = {"OPTIONS", "set the sleep and power-off times",
                             "Options (both required): --sleep SECONDS --poweroff SECONDS, each from 1 to 999999999.",
                             "the sleep-times packet (0x86)",
                             "--serial /dev/ttyUSB0 set-sleep --sleep 60 --poweroff 3600"}},
    SettingGroup{.name = "bluetooth", .operation = Operation::SetBluetooth, .fields = kBluetoothFields,
                 .button = "btn_SetlyPara", .build = &bluetooth, .cliCommand = "set-bluetooth",
                 .nameKeys = kBluetoothNames},
    SettingGroup{.name = "bluetooth-workmode", .operation = Operation::SendBluetoothControl,
                 .fields = kBluetoothWorkModeFields, .button = "btn_lyWorkMode", .build = &bluetoothWorkMode,
                 .cliCommand = "set-bluetooth-work-mode",
                 .cliHelp = {"MODE", "set the Bluetooth work mode", "MODE is high-speed (AT+HSM=2) or normal (AT+HSM=0).",
                             "the control text AT+HSM=2 or AT+HSM=0 in a Bluetooth-control packet (0x87)",
                             "--serial /dev/ttyUSB0 set-bluetooth-work-mode high-speed"}},
    SettingGroup{.name = "wifi-sta", .operation = Operation::SetWifiStation, .fields = kStationFields,
                 .button = "btn_SetSTAMode", .build = &wifiStation, .pageBuildsRequest = true,
                 .cliCommand = "set-wifi-sta", .nameKeys = kStationName},
    SettingGroup{.name = "wifi-ap", .operation = Operation::SetWifiAccessPoint, .fields = kAccessPointFields,
                 .button = "btn_SetAPMode", .build = &wifiAccessPoint, .cliCommand = "set-wifi-ap",
                 .nameKeys = kAccessPointName},
    SettingGroup{.name = "infrared", .operation = Operation::SetInfrared, .fields = kInfraredFields,
                 .button = "btn_SetInfraredPara", .build = &infrared, .cliCommand = "set-infrared",
                 .cliHelp = {"on|off OPTIONS", "set the infrared port",
                             "Options (both required): --speed 9600|19200|38400|57600|115200, --protocol raw|irda.",
                             "the infrared packet (0x84)",
                             "--serial /dev/ttyUSB0 set-infrared on --speed 9600 --protocol irda"}},
    SettingGroup{.name = "ethernet", .operation = Operation::SetEthernetIp, .fields = kEthernetFields,
                 .button = "btn_NetWorkSetIP", .build = &ethernet, .confirmed = false,
                 .pageBuildsRequest = true, .cliCommand = "set-net-ip", .namedOnly = true},
    SettingGroup{.name = "blackmark", .operation = Operation::SetBlackMarkDistance, .fields = kBlackMarkFields,
                 .button = "btn_But_Black_look_dis_set", .build = &blackMark, .confirmed = false,
                 .pageBuildsRequest = true, .cliCommand = "black-mark-distance"},
    SettingGroup{.name = "product", .operation = Operation::SetProduct, .fields = kProductFields,
                 .button = "btn_SetDevicePara", .build = &product, .cliCommand = "set-product", .namedOnly = true,
                 .nameKeys = kProductNames},
    SettingGroup{.name = "usbtype", .operation = Operation::SetInterfaceOption, .fields = kUsbTypeFields,
                 .button = "btn_SetUsbDeviceType", .build = &interfaceOption<InterfaceOption::UsbDeviceType>,
                 .confirmed = false, .cliCommand = "set-usb-type"},
    SettingGroup{.name = "papertype", .operation = Operation::SetInterfaceOption, .fields = kPaperTypeFields,
                 .button = "btn_SetPaperType", .build = &interfaceOption<InterfaceOption::PaperType>,
                 .confirmed = false, .cliCommand = "set-paper-type"},
    SettingGroup{.name = "printorder", .operation = Operation::SetInterfaceOption, .fields = kPrintOrderFields,
                 .button = "btn_SetPrinterOrder", .build = &interfaceOption<InterfaceOption::PrintOrder>,
                 .confirmed = false, .cliCommand = "set-print-order"},
    SettingGroup{.name = "recycletime", .operation = Operation::SetRecyclingTime, .fields = kRecyclingTimeFields,
                 .button = "btn_SetRptTime", .payload = kRecyclingTimePayload, .refreshConnection = true,
                 .cliCommand = "set-recycle-time",
                 .cliHelp = {"SECONDS", "set the receipt recycling time, 1 to 255 seconds",
                             "SECONDS is a whole number from 1 to 255.", "the recycling-time packet (0x8C)",
                             "--serial /dev/ttyUSB0 set-recycle-time 30"}},
    SettingGroup{.name = "bluetooth-hide", .operation = Operation::BluetoothHidingOn,
                 .fields = kBluetoothHidingFields, .button = "btn_bluetooth", .build = &bluetoothHiding,
                 .confirmed = false, .cliCommand = "bluetooth-hiding",
                 .cliHelp = {"on|off", "hide the printer's Bluetooth or show it again",
                             "on hides the printer from Bluetooth searches, off shows it again.",
                             "the bare bytes 8E 01 (on: hidden) or 8E 00 (off), without link setup, at "
                             "--device-speed",
                             "--serial /dev/ttyUSB0 bluetooth-hiding on"}},
};

}  // namespace

std::span<const SettingGroup> SettingGroups()
{
    return kGroups;
}

const SettingGroup* FindSettingGroup(std::string_view name)
{
    for (const SettingGroup& group : kGroups)
        if (group.name == name)
            return &group;
    return nullptr;
}

std::span<const std::string_view> FixedListItems(std::string_view list)
{
    if (list == "BaudRate")
        return kBaudRateItems;
    if (list == "CodePage")
        return kCodePageItems;
    if (list == "FontValue")
        return kFontItems;
    if (list == "ForcePaper")
        return kPaperFeedItems;
    if (list == "InfraredBaurate")
        return kInfraredSpeedItems;
    return {};
}

std::vector<Request> GroupRequests(const SettingGroup& group, FieldReader& reader)
{
    if (group.build)
        return group.build(group, reader);
    // Every field is read (and so checked) before anything is laid out.
    std::vector<std::int32_t> numbers;
    for (const SettingField& field : group.fields)
        numbers.push_back(reader.number(field));
    Request request;
    request.operation = group.operation;
    request.handOver.paramBlock = LaidOutPayload(group, numbers);
    request.refreshConnection = group.refreshConnection;
    return {request};
}

}  // namespace pst::requests
