#include "cli/cli_options.h"

#include "cli/cli_language.h"

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

// HOST[:PORT] of --udp; returns an error text, empty when understood.
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

}  // namespace

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
    if (!error.empty())
        return {std::nullopt, error};
    if (options.command.empty() && !options.help && !options.version)
        return {std::nullopt, "no command given"};
    return {options, {}};
}

}  // namespace pst::cli
