#include "cli/cli_options.h"

#include <algorithm>
#include <cstdint>

#include "cli/cli_language.h"
#include "platform/int_conversion.h"
#include "protocol/speed_code.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

// "--name value" or "--name=value"; advances `i` past what it used.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value, std::string& error)
{
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            error = MessageWithValues("sNeedsValueMsg", {name});
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

// The option's name without a value joined to it by "=".
std::string_view optionName(std::string_view arg)
{
    return arg.substr(0, arg.find('='));
}

// The speeds as the command line wrote them, read once all options are in.
struct TypedSpeeds {
    std::optional<std::string> device;
    std::optional<std::string> transfer;
};

// One global option at args[i], taken into `options`; false when args[i] is
// none of them.
bool takeGlobalOption(const std::vector<std::string>& args, std::size_t& i, CliOptions& options,
                      TypedSpeeds& speeds, int& linksChosen, std::string& error)
{
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
        options.help = true;
    } else if (arg == "--version" || arg == "-V") {
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
        options.link = LinkKind::Network;
        if (error.empty())
            error = parseUdpTarget(udp, options);
    } else if (takeValue(args, i, "--usb", options.usbDevice, error)) {
        ++linksChosen;
        options.link = LinkKind::Usb;
        if (error.empty() && options.usbDevice.empty())
            error = MessageWithValues("sUsbIdMsg", {"--usb"});
    } else if (takeValue(args, i, "--serial", options.serialPort, error)) {
        ++linksChosen;
        options.link = LinkKind::Serial;
    } else if (takeValue(args, i, "--language", options.language, error)) {
        if (error.empty() && !parseLanguage(options.language))
            error = MessageWithValues("sLanguageOptionMsg", {options.language});
    } else if (std::string device; takeValue(args, i, "--device-speed", device, error)) {
        options.deviceSpeedGiven = true;
        speeds.device = device;
    } else if (std::string transfer; takeValue(args, i, "--transfer-speed", transfer, error)) {
        options.transferSpeedGiven = true;
        speeds.transfer = transfer;
    } else if (!takeValue(args, i, "--data-dir", options.dataDir, error)) {
        return false;
    }
    return true;
}

}  // namespace

std::string readSerialSpeed(const std::string& name, const std::string& value, std::uint32_t& speed)
{
    // Any other speed would be switched to as 9600 on the printer's side.
    const auto number = parseInt32(value);
    if (number && *number > 0 &&
        std::ranges::find(kSpeedByCode, static_cast<std::uint32_t>(*number)) != kSpeedByCode.end()) {
        speed = static_cast<std::uint32_t>(*number);
        return {};
    }
    auto slowestFirst = kSpeedByCode;
    std::ranges::sort(slowestFirst);
    std::string list;
    for (const std::uint32_t known : slowestFirst)
        list += (list.empty() ? "" : ", ") + std::to_string(known);
    return MessageWithValues("sNotSerialSpeedMsg", {name, value, list});
}

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
            return MessageWithValues("sUdpPortMsg", {"--udp", digits});
        port = std::stoi(digits);
    }
    if (host.empty())
        return MessageWithValues("sUdpHostMsg", {"--udp"});
    options.udpHost = host;
    options.udpPort = port;
    return {};
}

std::string aimLink(CliOptions& options, LinkKind kind, const std::string& where)
{
    switch (kind) {
    case LinkKind::Serial:
        options.serialPort = where;
        break;
    case LinkKind::Network:
        if (std::string error = parseUdpTarget(where, options); !error.empty())
            return error;
        break;
    case LinkKind::Usb:
        options.usbDevice = where;
        break;
    case LinkKind::Parallel:
        // Nothing to aim at: its runs fail as the worker opens the link.
        break;
    }
    options.link = kind;
    return {};
}

std::string linkTarget(const CliOptions& options)
{
    switch (options.link) {
    case LinkKind::Network:
        return options.udpHost + ":" + std::to_string(options.udpPort);
    case LinkKind::Usb:
        return options.usbDevice;
    case LinkKind::Serial:
    case LinkKind::Parallel:
        break;
    }
    return options.serialPort;
}

ParseResult parseCommandLine(const std::vector<std::string>& args, const CommandKeepsOption& keeps)
{
    CliOptions options;
    TypedSpeeds speeds;
    std::string error;
    int linksChosen = 0;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        const bool named = !options.command.empty();
        if (arg == "--") {
            auto rest = args.begin() + static_cast<std::ptrdiff_t>(i) + 1;
            if (!named && rest != args.end())
                options.command = *rest++;
            // The command's own reading stops taking options there too.
            if (named && rest != args.end())
                options.arguments.push_back(arg);
            options.arguments.insert(options.arguments.end(), rest, args.end());
            break;
        }
        if (named && keeps && keeps(options.command, optionName(arg))) {
            options.arguments.push_back(arg);
        } else if (takeGlobalOption(args, i, options, speeds, linksChosen, error)) {
            // taken
        } else if (named) {
            options.arguments.push_back(arg);
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = MessageWithValues("sUnknownOptionMsg", {arg});
        } else {
            options.command = arg;
        }
    }
    options.linkGiven = linksChosen > 0;
    if (error.empty() && linksChosen > 1)
        error = MessageText("sOneLinkMsg");
    if (error.empty() && speeds.device)
        error = readSerialSpeed("--device-speed", *speeds.device, options.deviceSpeed);
    if (error.empty() && speeds.transfer)
        error = readSerialSpeed("--transfer-speed", *speeds.transfer, options.transferSpeed);
    if (!error.empty())
        return {std::nullopt, error};
    if (options.command.empty() && !options.help && !options.version)
        return {std::nullopt, MessageText("sNoCommandMsg")};
    return {options, {}};
}

EarlyChoices earlyChoices(const std::vector<std::string>& args)
{
    EarlyChoices choices;
    std::string ignored;
    for (std::size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
        std::string value;
        if (takeValue(args, i, "--language", value, ignored) && parseLanguage(value))
            choices.language = value;
        else if (takeValue(args, i, "--data-dir", value, ignored))
            choices.dataDir = value;
    }
    return choices;
}

}  // namespace pst::cli
