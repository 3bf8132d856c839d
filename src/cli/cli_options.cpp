#include "cli/cli_options.h"

#include <algorithm>
#include <cstdint>

#include "cli/cli_language.h"
#include "platform/int_conversion.h"
#include "protocol/speed_code.h"

namespace pst::cli {

namespace {

// "--name value" or "--name=value"; advances `i` past what it used.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value, std::string& error)
{
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return true;
        }
        value = args[++i];
        return true;
    }
    if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

// A speed option must be one the printer has a code for: any other would be
// switched to as 9600 on the printer's side. Returns an error text, empty
// when the speed is one of them.
std::string speedProblem(const std::string& name, const std::string& value)
{
    const auto speed = parseInt32(value);
    if (speed && *speed > 0 &&
        std::ranges::find(kSpeedByCode, static_cast<std::uint32_t>(*speed)) != kSpeedByCode.end())
        return {};
    auto slowestFirst = kSpeedByCode;
    std::ranges::sort(slowestFirst);
    std::string list;
    for (const std::uint32_t known : slowestFirst)
        list += (list.empty() ? "" : ", ") + std::to_string(known);
    return name + ": '" + value + "' is not a serial speed (" + list + ")";
}

}  // namespace

std::string parseUdpTarget(const std::string& value, CliOptions& options)
{
    std::string host = value;
    int port = kDefaultPrinterPort;
    if (const auto colon = value.rfind(':'); colon != std::string::npos) {
        host = value.substr(0, colon);
        const std::string digits = value.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of("0123456789") != std::string::npos || std::stoi(digits) < 1 ||
            std::stoi(digits) > 65535)
            return "--udp: '" + digits + "' is not a port number (1 to 65535)";
        port = std::stoi(digits);
    }
    if (host.empty())
        return "--udp needs the printer's address, such as 192.168.1.87:5100";
    options.udpHost = host;
    options.udpPort = port;
    return {};
}

ParseResult parseCommandLine(const std::vector<std::string>& args)
{
    CliOptions options;
    std::string error;
    std::size_t i = 0;
    int linksChosen = 0;
    for (; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--auto-speed") {
            options.autoSpeed = true;
        } else if (arg == "--full-log") {
            options.fullLog = true;
        } else if (std::string udp; takeValue(args, i, "--udp", udp, error)) {
            ++linksChosen;
            options.link = CliLink::Network;
            if (error.empty())
                error = parseUdpTarget(udp, options);
        } else if (takeValue(args, i, "--usb", options.usbDevice, error)) {
            ++linksChosen;
            options.link = CliLink::Usb;
            if (error.empty() && options.usbDevice.empty())
                error = "--usb needs a device identifier (pennafor-cli list-usb shows them)";
        } else if (takeValue(args, i, "--serial", options.serialPort, error)) {
            ++linksChosen;
            options.link = CliLink::Serial;
        } else if (takeValue(args, i, "--language", options.language, error)) {
            if (error.empty() && !parseLanguage(options.language))
                error = "--language takes en or zh, not '" + options.language + "'";
        } else if (takeValue(args, i, "--data-dir", options.dataDir, error) ||
                   takeValue(args, i, "--device-speed", options.deviceSpeed, error) ||
                   takeValue(args, i, "--transfer-speed", options.transferSpeed, error)) {
            // taken
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
        } else {
            options.command = arg;
            options.arguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
    }
    if (error.empty() && linksChosen > 1)
        error = "choose one link: --serial, --udp or --usb";
    if (error.empty())
        error = speedProblem("--device-speed", options.deviceSpeed);
    if (error.empty())
        error = speedProblem("--transfer-speed", options.transferSpeed);
    if (!error.empty())
        return {std::nullopt, error};
    if (options.command.empty() && !options.help && !options.version)
        return {std::nullopt, "no command given"};
    return {options, {}};
}

}  // namespace pst::cli
