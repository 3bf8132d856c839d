// The settings commands of pennafor-cli: one answered packet each (flow
// control and the two-byte switches go out bare), built by the parameter
// window's builders from the parsed arguments.

#include "cli/operation_commands.h"
#include "cli/printer_lists.h"
#include "protocol/command_packet.h"
#include "cli/group_arguments.h"
#include "requests/setting_group.h"
#include "requests/setting_ranges.h"
#include "requests/settings_requests.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

using namespace pst::requests;

// Refusals name the option as it is typed.
int listOption(Arguments& args, const char* name, const ListNames& names)
{
    return parseListChoice(args.requiredOption(name), "--" + std::string(name), names);
}

std::int32_t secondsOption(Arguments& args, const char* name)
{
    return parseNumberInRange(args.requiredOption(name), "--" + std::string(name), kMinTimeSeconds,
                              kMaxSleepSeconds);
}

struct Switches {
    int density;
    int font;
    bool cutter;
    bool buzzer;
    int paperFeed;
};

Switches switchOptions(Arguments& args)
{
    Switches s{};
    s.density = listOption(args, "density", densityNames());
    s.font = listOption(args, "font", fontNames());
    s.cutter = parseOnOff(args.requiredOption("cutter"), "--cutter");
    s.buzzer = parseOnOff(args.requiredOption("buzzer"), "--buzzer");
    s.paperFeed = listOption(args, "feed", paperFeedNames());
    return s;
}

Request buildSetIp(Arguments& args)
{
    const std::int32_t first = parseNumber(args.positional("N"));
    const auto second = args.optionalPositional();
    return SetIpRequest(first, second ? parseNumber(*second) : 0);
}

// The lists always hold a choice here, so every builder gives a request.
Request buildSetCodePage(Arguments& args)
{
    const int position = parseListChoice(args.positional("ITEM"), "ITEM", codePageNames());
    return *CodePageRequest(position);
}

Request buildSetSwitches(Arguments& args)
{
    const Switches s = switchOptions(args);
    const auto option = args.option("operation");
    Operation operation = Operation::SetSwitchOptions;
    if (option) {
        const int number = parseNumber(*option);
        if (number != operationNumber(Operation::SetSwitchOptionsAlone) &&
            number != operationNumber(Operation::SetSwitchOptions))
            throw UsageError(MessageText("sOperationChoiceMsg"));
        operation = static_cast<Operation>(number);
    }
    return SwitchOptionsRequest(s.density, s.font, s.cutter, s.buzzer, s.paperFeed, operation);
}

Request buildSetAllParams(Arguments& args)
{
    AllParameters p;
    p.codePagePosition = listOption(args, "codepage", codePageNames());
    p.baudRatePosition = listOption(args, "baudrate", baudRateNames());
    const Switches s = switchOptions(args);
    p.densityPosition = s.density;
    p.fontPosition = s.font;
    p.cutter = s.cutter;
    p.buzzer = s.buzzer;
    p.paperFeedPosition = s.paperFeed;
    p.sleepSeconds = secondsOption(args, "sleep");
    p.powerOffSeconds = secondsOption(args, "poweroff");
    return AllParametersRequest(p);
}

Request buildRestoreDefaults(Arguments& /*args*/)
{
    return RestoreDefaultsRequest();
}

Request buildSetBluetooth(Arguments& args)
{
    BluetoothParameters p;
    p.name = args.option("name").value_or("");
    p.dualModeName = args.option("dual-name").value_or("");
    p.password = args.option("password").value_or("");
    if (const auto mode = args.option("mode"))
        p.modePosition = parseListChoice(*mode, "--mode", bluetoothModeNames());
    if (const auto check = args.option("password-check"))
        p.passwordCheckPosition = parseListChoice(*check, "--password-check", passwordCheckNames());
    if (const auto type = args.option("type")) {
        const std::int32_t number = parseDigits(*type, "--type", 3);
        if (number > kBluetoothTypeField.highest)
            throw UsageError(MessageWithValues("sOptionRangeMsg",
                                               {"--type", "0", std::to_string(kBluetoothTypeField.highest)}));
        p.moduleTypeText = std::to_string(number);
    }
    return BluetoothRequest(p);
}

Request buildSendBluetoothCommand(Arguments& args)
{
    return BluetoothControlTextRequest(args.positional("TEXT"));
}

Request buildSetWifiStation(Arguments& args)
{
    WifiStationParameters p;
    p.ssid = args.requiredOption("ssid");
    p.password = args.option("password").value_or("");
    p.portText = args.option("port").value_or("9100");
    const bool isStatic = args.flag("static");
    const bool isDynamic = args.flag("dynamic");
    if (isStatic == isDynamic)
        throw UsageError(MessageText("sStaticOrDynamicMsg"));
    p.addressing = isStatic ? WifiAddressing::Static : WifiAddressing::Dynamic;
    if (isStatic) {
        p.ipAddress = args.requiredOption("ip");
        p.mask = args.requiredOption("mask");
        p.gateway = args.requiredOption("gateway");
    }
    return StationRequest(p);
}

Request buildSetWifiAccessPoint(Arguments& args)
{
    const std::string name = args.requiredOption("name");
    const std::string password = args.option("password").value_or("");
    return AccessPointRequest(name, password);
}

Request buildCloseWifi(Arguments& /*args*/)
{
    return CloseWifiRequest();
}

Request buildSetProduct(Arguments& args)
{
    const std::string name = args.requiredOption("name");
    const std::string serial = args.option("serial").value_or("");
    if (!serial.empty())
        parseDigits(serial, "--serial", kProductFieldBytes);
    return ProductRequest(name, serial);
}

Request buildRawPair8D(Arguments& args)
{
    return RawPair8DRequest(parseListChoice(args.positional("0|1"), "0|1", {{"0"}, {"1"}}));
}

constexpr OperationCommand kCommands[] = {
    {"set-codepage", "ITEM|--list", "set the printer's code page",
     "ITEM is the list text, such as \"CP850:Latin1;Western European\" or CP850, or its position\n"
     "(0 \"CP932 SHIFT_JIS\" ... 52 \"EUC-KR\").\n"
     "--list  print every code page with its position, and send nothing",
     "the code-page setting packet (0x80)", PrinterReply::Confirmed,
     "--serial /dev/ttyUSB0 set-codepage CP850", &buildSetCodePage, false, &codePageNames},
    {"set-switches", "OPTIONS", "set density, font, cutter, buzzer and line-feed character",
     "Options (any of them; each one left out keeps the value the parameter window stored\n"
     "in the data folder's sysconfig.ini, or its default, and the command says which):\n"
     "  --density light|normal|slightly-dark|dark\n"
     "  --font 9x17|12x24|9x24|16x18\n"
     "  --cutter on|off   --buzzer on|off\n"
     "  --feed 0x0A|0x0D\n"
     "  --operation 9|20  the operation number to use (default 20; 9 does the same)\n"
     "Lists also take their item texts or positions.",
     "the switch-options packet (0x82)", PrinterReply::Confirmed,
     "--serial /dev/ttyUSB0 set-switches --buzzer off", &buildSetSwitches, true},
    {"set-all-params", "OPTIONS", "set code page, speed, switches and times at once",
     "Options (all required): --codepage ITEM --baudrate SPEED --density D --font F\n"
     "  --cutter on|off --buzzer on|off --feed 0x0A|0x0D --sleep S --poweroff S\n"
     "The printer stores the speed and takes it once restarted or reconnected; until then it\n"
     "answers at its old one (pennafor-cli find tells the speed it answers at).",
     "the all-parameters packet (0x88)", PrinterReply::Confirmed,
     "--serial /dev/ttyUSB0 set-all-params --codepage CP850 --baudrate 9600 --density normal --font 12x24 "
     "--cutter on --buzzer off --feed 0x0A --sleep 60 --poweroff 3600",
     &buildSetAllParams},
    {"restore-defaults", "", "restore the printer's default settings", "",
     "the restore-defaults packet (0x79)", PrinterReply::Confirmed, "--serial /dev/ttyUSB0 restore-defaults",
     &buildRestoreDefaults},
    {"set-bluetooth", "OPTIONS", "set the Bluetooth name, password, mode and check",
     "Options:\n"
     "  --name NAME         Bluetooth name (at most 20 bytes; a Chinese character takes 2)\n"
     "  --dual-name NAME    dual-mode name (each name stands in for the other when empty)\n"
     "  --password TEXT     at most 13 bytes\n"
     "  --mode none|single|dual                    (default single)\n"
     "  --password-check required|masked|none      (default required)\n"
     "  --type N            module type, 0..255 (default 1)",
     "the Bluetooth packet (0x83)", PrinterReply::Confirmed,
     "--serial /dev/ttyUSB0 set-bluetooth --name Shop-1 --password 1234", &buildSetBluetooth},
    {"send-bluetooth-command", "TEXT", "send a control text to the Bluetooth module",
     "TEXT goes as it is, at most 1016 bytes.", "the text in a Bluetooth-control packet (0x87)",
     PrinterReply::Confirmed, "--serial /dev/ttyUSB0 send-bluetooth-command AT+NAME?",
     &buildSendBluetoothCommand},
    {"set-wifi-sta", "OPTIONS", "set the WiFi station mode",
     "Options: --ssid S [--password P] [--port N (default 9100)] and either\n"
     "  --dynamic, or --static --ip A.B.C.D --mask A.B.C.D --gateway A.B.C.D\n"
     "SSID and password take at most 32 bytes each.",
     "the WiFi-station packet (0x8A)", PrinterReply::Confirmed,
     "--serial /dev/ttyUSB0 set-wifi-sta --ssid shop --password secret --dynamic", &buildSetWifiStation},
    {"set-wifi-ap", "OPTIONS", "set the WiFi access-point mode",
     "Options: --name NAME (required), --password TEXT; each at most 32 bytes.",
     "the WiFi-access-point packet (0x89)", PrinterReply::Confirmed,
     "--serial /dev/ttyUSB0 set-wifi-ap --name printer --password secret", &buildSetWifiAccessPoint},
    {"close-wifi", "", "switch the printer's WiFi off", "", "the close-WiFi packet (0x8B)",
     PrinterReply::Confirmed, "--serial /dev/ttyUSB0 close-wifi", &buildCloseWifi},
    {"set-product", "OPTIONS", "set the product name and serial number",
     "Options: --name NAME (required) and --serial DIGITS; each at most 20 bytes.",
     "the product packet (0x85)", PrinterReply::Confirmed,
     "--serial /dev/ttyUSB0 set-product --name POS-80 --serial 20260001", &buildSetProduct},
    {"set-ip", "N [N]", "send the set-IP packet with two numbers",
     "The printer decides what the two 32-bit numbers mean; no window sends this.",
     "the set-IP packet (0x20) with the two numbers as its arguments", PrinterReply::Confirmed,
     "--udp 192.168.1.87 set-ip 1 0", &buildSetIp},
    {"raw-pair-8d", "0|1", "send a bare byte pair that no window sends", "0 sends 8D 00, 1 sends 8D 01.",
     "the bare bytes 8D 00 or 8D 01, without link setup, at --device-speed", PrinterReply::Unanswered,
     "--serial /dev/ttyUSB0 raw-pair-8d 1", &buildRawPair8D},
};

}  // namespace

std::span<const OperationCommand> settingsCommands()
{
    // The commands the setting groups describe, in the window's order, then
    // the table's.
    static const std::vector<OperationCommand> commands = [] {
        std::vector<OperationCommand> all;
        for (const SettingGroup& group : SettingGroups())
            if (!group.cliHelp.summary.empty())
                all.push_back(describedCommand(group));
        all.insert(all.end(), std::begin(kCommands), std::end(kCommands));
        return all;
    }();
    return commands;
}

}  // namespace pst::cli
