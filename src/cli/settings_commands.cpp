// The settings commands of pennafor-cli: one answered packet each (flow
// control and the two-byte switches go out bare), built by the parameter
// window's builders from the parsed arguments.

#include "cli/operation_commands.h"
#include "cli/printer_lists.h"
#include "protocol/command_packet.h"
#include "requests/settings_requests.h"

namespace pst::cli {

namespace {

using namespace pst::requests;

constexpr std::int32_t kMaxSpinSeconds = 999999999;  // the sleep and power-off spin edits

int listOption(Arguments& args, const char* name, const char* what, const ListNames& names)
{
    return parseListChoice(args.requiredOption(name), what, names);
}

std::int32_t secondsOption(Arguments& args, const char* name, const char* what)
{
    return parseNumberInRange(args.requiredOption(name), what, 1, kMaxSpinSeconds);
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
    s.density = listOption(args, "density", "print density", densityNames());
    s.font = listOption(args, "font", "font", fontNames());
    s.cutter = parseOnOff(args.requiredOption("cutter"), "--cutter");
    s.buzzer = parseOnOff(args.requiredOption("buzzer"), "--buzzer");
    s.paperFeed = listOption(args, "feed", "paper feed", paperFeedNames());
    return s;
}

Request buildSetIp(Arguments& args)
{
    const std::int32_t first = parseNumber(args.positional("the first argument"));
    const auto second = args.optionalPositional();
    return SetIpRequest(first, second ? parseNumber(*second) : 0);
}

// The lists always hold a choice here, so every builder gives a request.
Request buildSetCodePage(Arguments& args)
{
    const int position = parseListChoice(args.positional("the code page"), "code page", codePageNames());
    return *CodePageRequest(position);
}

Request buildSetBaudRate(Arguments& args)
{
    const int position = parseListChoice(args.positional("the baud rate"), "baud rate", baudRateNames());
    return *BaudRateRequest(position);
}

Request buildSetFlowControl(Arguments& args)
{
    const int position =
        parseListChoice(args.positional("the flow control"), "flow control", flowControlNames());
    return *FlowControlRequest(position);
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
            throw UsageError("--operation takes 9 or 20");
        operation = static_cast<Operation>(number);
    }
    return SwitchOptionsRequest(s.density, s.font, s.cutter, s.buzzer, s.paperFeed, operation);
}

Request buildSetSleep(Arguments& args)
{
    const std::int32_t sleep = secondsOption(args, "sleep", "the sleep time in seconds");
    const std::int32_t powerOff = secondsOption(args, "poweroff", "the power-off time in seconds");
    return SleepTimesRequest(sleep, powerOff);
}

Request buildSetAllParams(Arguments& args)
{
    AllParameters p;
    p.codePagePosition = listOption(args, "codepage", "code page", codePageNames());
    p.baudRatePosition = listOption(args, "baudrate", "baud rate", baudRateNames());
    const Switches s = switchOptions(args);
    p.densityPosition = s.density;
    p.fontPosition = s.font;
    p.cutter = s.cutter;
    p.buzzer = s.buzzer;
    p.paperFeedPosition = s.paperFeed;
    p.sleepSeconds = secondsOption(args, "sleep", "the sleep time in seconds");
    p.powerOffSeconds = secondsOption(args, "poweroff", "the power-off time in seconds");
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
        p.modePosition = parseListChoice(*mode, "Bluetooth mode", bluetoothModeNames());
    if (const auto check = args.option("password-check"))
        p.passwordCheckPosition = parseListChoice(*check, "password check", passwordCheckNames());
    if (const auto type = args.option("type")) {
        const std::int32_t number = parseDigits(*type, "--type", 3);
        if (number > 255)
            throw UsageError("--type must be from 0 to 255");
        p.moduleTypeText = std::to_string(number);
    }
    return BluetoothRequest(p);
}

Request buildSetBluetoothWorkMode(Arguments& args)
{
    const int position = parseListChoice(args.positional("the work mode"), "work mode", workModeNames());
    return *BluetoothWorkModeRequest(position);
}

Request buildSendBluetoothCommand(Arguments& args)
{
    return BluetoothControlTextRequest(args.positional("the control text"));
}

Request buildBluetoothHiding(Arguments& args)
{
    const int position =
        parseListChoice(args.positional("on or off"), "Bluetooth hiding", bluetoothHidingNames());
    return *BluetoothHidingRequest(position);
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
        throw UsageError("give either --static or --dynamic");
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

Request buildSetInfrared(Arguments& args)
{
    const int speed = listOption(args, "speed", "infrared speed", infraredSpeedNames());
    const int protocol = listOption(args, "protocol", "infrared protocol", irdaProtocolNames());
    const bool enabled = parseOnOff(args.positional("on or off"), "infrared");
    return *InfraredRequest(speed, enabled, protocol);
}

Request buildSetProduct(Arguments& args)
{
    const std::string name = args.requiredOption("name");
    const std::string serial = args.option("serial").value_or("");
    if (!serial.empty())
        parseDigits(serial, "--serial", kProductFieldBytes);
    return ProductRequest(name, serial);
}

Request buildSetRecycleTime(Arguments& args)
{
    const std::int32_t seconds =
        parseNumberInRange(args.positional("the time in seconds"), "the recycling time in seconds", 1, 255);
    return RecyclingTimeRequest(seconds);
}

Request buildRawPair8D(Arguments& args)
{
    return RawPair8DRequest(parseListChoice(args.positional("0 or 1"), "8D pair value", {{"0"}, {"1"}}));
}

constexpr OperationCommand kCommands[] = {
    {"set-codepage", "ITEM", "set the printer's code page (0x80)",
     "ITEM is the list text, such as \"CP850:Latin1;Western European\" or CP850, or its position\n"
     "(0 \"CP932 SHIFT_JIS\" ... 52 \"EUC-KR\").",
     &buildSetCodePage},
    {"set-baudrate", "SPEED", "set the printer's serial speed (0x81)",
     "SPEED is one of 1200 2400 4800 9600 19200 38400 57600 115200 230400 (or its position 0..8).\n"
     "The printer listens at the new speed as soon as it has confirmed.",
     &buildSetBaudRate},
    {"set-flow-control", "MODE", "set software or hardware flow control (bare 0x8D packet)",
     "MODE is software or hardware. Sent without link setup and without waiting for an answer, at "
     "--device-speed.",
     &buildSetFlowControl},
    {"set-switches", "OPTIONS", "set density, font, cutter, buzzer and line-feed character (0x82)",
     "Options (all required):\n"
     "  --density light|normal|slightly-dark|dark\n"
     "  --font 9x17|12x24|9x24|16x18\n"
     "  --cutter on|off   --buzzer on|off\n"
     "  --feed 0x0A|0x0D\n"
     "  --operation 9|20  the operation number to use (default 20; 9 does the same)\n"
     "Lists also take their item texts or positions.",
     &buildSetSwitches},
    {"set-sleep", "OPTIONS", "set the sleep and power-off times (0x86)",
     "Options (both required): --sleep SECONDS --poweroff SECONDS, each from 1 to 999999999.",
     &buildSetSleep},
    {"set-all-params", "OPTIONS", "set code page, speed, switches and times at once (0x88)",
     "Options (all required): --codepage ITEM --baudrate SPEED --density D --font F\n"
     "  --cutter on|off --buzzer on|off --feed 0x0A|0x0D --sleep S --poweroff S\n"
     "The speed is the printer's serial speed from now on.",
     &buildSetAllParams},
    {"restore-defaults", "", "restore the printer's default settings (0x79)", "", &buildRestoreDefaults},
    {"set-bluetooth", "OPTIONS", "set the Bluetooth name, password, mode and check (0x83)",
     "Options:\n"
     "  --name NAME         Bluetooth name (at most 20 bytes; a Chinese character takes 2)\n"
     "  --dual-name NAME    dual-mode name (each name stands in for the other when empty)\n"
     "  --password TEXT     at most 13 bytes\n"
     "  --mode none|single|dual                    (default single)\n"
     "  --password-check required|masked|none      (default required)\n"
     "  --type N            module type, 0..255 (default 1)",
     &buildSetBluetooth},
    {"set-bluetooth-work-mode", "MODE", "set the Bluetooth work mode (AT+HSM control text, 0x87)",
     "MODE is high-speed (AT+HSM=2) or normal (AT+HSM=0).", &buildSetBluetoothWorkMode},
    {"send-bluetooth-command", "TEXT", "send a control text to the Bluetooth module (0x87)",
     "TEXT goes as it is, at most 1016 bytes.", &buildSendBluetoothCommand},
    {"bluetooth-hiding", "on|off", "hide the printer's Bluetooth or show it again (bare 8E 01 / 8E 00)", "",
     &buildBluetoothHiding},
    {"set-wifi-sta", "OPTIONS", "set the WiFi station mode (0x8A)",
     "Options: --ssid S [--password P] [--port N (default 9100)] and either\n"
     "  --dynamic, or --static --ip A.B.C.D --mask A.B.C.D --gateway A.B.C.D\n"
     "SSID and password take at most 32 bytes each.",
     &buildSetWifiStation},
    {"set-wifi-ap", "OPTIONS", "set the WiFi access-point mode (0x89)",
     "Options: --name NAME (required), --password TEXT; each at most 32 bytes.", &buildSetWifiAccessPoint},
    {"close-wifi", "", "switch the printer's WiFi off (0x8B)", "", &buildCloseWifi},
    {"set-infrared", "on|off OPTIONS", "set the infrared port (0x84)",
     "Options (both required): --speed 9600|19200|38400|57600|115200, --protocol raw|irda.",
     &buildSetInfrared},
    {"set-product", "OPTIONS", "set the product name and serial number (0x85)",
     "Options: --name NAME (required) and --serial DIGITS; each at most 20 bytes.", &buildSetProduct},
    {"set-recycle-time", "SECONDS", "set the receipt recycling time, 1 to 255 seconds (0x8C)", "",
     &buildSetRecycleTime},
    {"set-ip", "N [N]", "send the set-IP packet (0x20) with the numbers as its two arguments",
     "The printer decides what the two 32-bit numbers mean; no window sends this.", &buildSetIp},
    {"raw-pair-8d", "0|1", "send the bare two bytes 8D 00 or 8D 01 (no window sends these)", "",
     &buildRawPair8D},
};

}  // namespace

std::span<const OperationCommand> settingsCommands()
{
    return kCommands;
}

}  // namespace pst::cli
