#include "cli/find_commands.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/argument_parsing.h"
#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "cli/commands.h"
#include "cli/json_attach.h"
#include "cli/json_result.h"
#include "cli/speed_search.h"
#include "cli/terminal_text.h"
#include "cli/usb_commands.h"
#include "engine/network_search.h"
#include "operations/operation.h"
#include "operations/operation_table.h"
#include "platform/console.h"
#include "platform/serial_ports.h"
#include "protocol/address_range.h"
#include "protocol/group_address.h"
#include "texts/engine_texts.h"
#include "texts/message_texts.h"
#include "transport/usb_comm.h"
#include "transport/usb_system_paths.h"
#include "transport/udp_client.h"

namespace pst::cli {

namespace {

struct FoundPrinter {
    const char* link;  // "serial", "usb", "udp"
    std::string where;
    std::optional<std::uint32_t> speed;  // serial only
    std::string model;
};

struct FindRequest {
    std::vector<std::string> serialPorts;
    std::vector<std::string> usbDevices;
    std::vector<std::string> udpHosts;  // HOST[:PORT] as given
    std::optional<AddressRange> range;
};

std::string rangeRefusal(const std::string& text, const AddressRangeParse& parsed)
{
    switch (parsed.fault) {
    case AddressRangeFault::NotABlock:
        return MessageWithValues("sRangeNotBlockMsg", {text});
    case AddressRangeFault::NotAnAddress:
        return MessageWithValues("sRangeNotAddressMsg", {text, parsed.part});
    case AddressRangeFault::NotAPort:
        return MessageWithValues("sRangeNotPortMsg", {text, parsed.part});
    case AddressRangeFault::NotAPrefix:
        return MessageWithValues("sRangeNotPrefixMsg", {text, parsed.part});
    case AddressRangeFault::TooLarge:
        return MessageWithValues("sRangeTooLargeMsg",
                                 {text, parsed.part, std::to_string(kMaxRangeAddresses)});
    case AddressRangeFault::None:
        break;
    }
    return text;
}

FindRequest parseFind(const std::vector<std::string>& arguments)
{
    FindRequest request;
    Arguments args(arguments);
    request.serialPorts = args.everyOption("serial");
    request.usbDevices = args.everyOption("usb");
    request.udpHosts = args.everyOption("udp");
    const std::vector<std::string> ranges = args.everyOption("udp-range");
    if (ranges.size() > 1)
        throw UsageError(MessageWithValues("sOptionOnceMsg", {"--udp-range"}));
    if (!ranges.empty()) {
        AddressRangeParse parsed = parseAddressRange(ranges.front(), kDefaultPrinterPort);
        if (!parsed.range)
            throw UsageError("--udp-range: " + rangeRefusal(ranges.front(), parsed));
        request.range = parsed.range;
    }
    args.finish();
    for (const auto& port : request.serialPorts)
        if (port.empty())
            throw UsageError(MessageWithValues("sNeedsValueMsg", {"--serial"}));
    for (const auto& device : request.usbDevices)
        if (device.empty())
            throw UsageError(MessageWithValues("sUsbIdMsg", {"--usb"}));
    return request;
}

// Progress goes to a terminal only: a script reading standard error sees the
// failures alone.
class Progress {
public:
    Progress(std::ostream& err, bool quiet)
        : err_(err), shown_(!quiet && &err == &std::cerr && standardErrorIsTerminal())
    {
    }
    ~Progress() { clear(); }
    void show(const std::string& what)
    {
        if (!shown_)
            return;
        err_ << '\r' << MessageText("sSearchingMsg") << " " << what << "\x1b[K" << std::flush;
        open_ = true;
    }
    // Before a line of its own, so that it does not run into the progress.
    void clear()
    {
        if (open_)
            err_ << "\r\x1b[K" << std::flush;
        open_ = false;
    }
    bool shown() const { return shown_; }

private:
    std::ostream& err_;
    bool shown_;
    bool open_ = false;
};

void reportPortFailure(const std::string& where, const WorkerFailure& failure, std::ostream& err, Progress& progress)
{
    progress.clear();
    err << where << ": " << EngineTextInLanguage(failure.cause.empty() ? failure.text : failure.cause) << '\n';
}

void findOnSerial(const CliOptions& options, const std::vector<std::string>& ports, std::vector<FoundPrinter>& found,
                  std::ostream& err, Progress& progress)
{
    const std::vector<std::uint32_t> speeds = searchOrder(options.deviceSpeed);
    std::ostream ignored(nullptr);
    for (const std::string& port : ports) {
        CliOptions aimed = options;
        aimed.link = LinkKind::Serial;
        aimed.serialPort = port;
        CliSession session(aimed, ignored, ignored);
        session.setSpeedRecovery(false);
        const SpeedAnswer answer = askAtSpeeds(session, speeds, [&](std::uint32_t speed) {
            progress.show("serial " + port + " " + std::to_string(speed));
        });
        if (answer.speed)
            found.push_back({"serial", port, answer.speed, answer.model});
        else if (answer.portFailure)
            reportPortFailure("serial " + port, *answer.portFailure, err, progress);
    }
}

void findOnUsb(const CliOptions& options, const std::vector<std::string>& devices, std::vector<FoundPrinter>& found,
               std::ostream& err, Progress& progress)
{
    std::ostream ignored(nullptr);
    for (const std::string& device : devices) {
        progress.show("usb " + device);
        CliOptions aimed = options;
        aimed.link = LinkKind::Usb;
        aimed.usbDevice = device;
        CliSession session(aimed, ignored, ignored);
        if (session.runQuietly(Operation::LinkTest) == 0)
            found.push_back({"usb", device, std::nullopt, session.worker().DeviceModel()});
        else if (const auto& failure = session.lastFailure(); failure && !failure->unheard)
            reportPortFailure("usb " + device, *failure, err, progress);
    }
}

// HOST[:PORT] as --udp takes it; the host is looked up here, once.
std::optional<DatagramPeer> udpPeer(const std::string& target, std::ostream& err, Progress& progress)
{
    CliOptions parsed;
    if (const std::string error = parseUdpTarget(target, parsed); !error.empty())
        throw UsageError(error);
    try {
        const DatagramPeer peer{resolveIPv4(parsed.udpHost), static_cast<std::uint16_t>(parsed.udpPort)};
        // Refused before anything is sent: every device there could answer.
        if (isGroupAddress(peer.address)) {
            progress.clear();
            err << "udp " << target << ": " << MessageText("sGroupAddressMsg") << '\n';
            return std::nullopt;
        }
        return peer;
    } catch (const ESocketError& failure) {
        progress.clear();
        // The link's text holds its code and description on two lines.
        std::string reason = EngineTextInLanguage(failure.what());
        if (const auto lineEnd = reason.find("\r\n"); lineEnd != std::string::npos)
            reason.replace(lineEnd, 2, ": ");
        err << "udp " << target << ": " << reason << '\n';
        return std::nullopt;
    }
}

void findOnNetwork(const std::vector<DatagramPeer>& peers, std::vector<FoundPrinter>& found, std::ostream& err,
                   Progress& progress)
{
    if (peers.empty())
        return;
    std::vector<NetworkPrinter> answered;
    try {
        answered = SearchNetwork(peers, {}, [&](std::size_t settled, std::size_t all) {
            if (progress.shown())
                progress.show("udp " + std::to_string(settled) + "/" + std::to_string(all));
        });
    } catch (const ESocketError& failure) {
        progress.clear();
        err << "udp: " << EngineTextInLanguage(failure.what()) << '\n';
    }
    for (const NetworkPrinter& printer : answered)
        found.push_back({"udp", dottedAddress(printer.peer.address) + ":" + std::to_string(printer.peer.port),
                         std::nullopt, printer.model});
}

void printFound(const std::vector<FoundPrinter>& found, bool json, std::ostream& out)
{
    if (json) {
        nlohmann::ordered_json all = nlohmann::ordered_json::array();
        for (const FoundPrinter& p : found)
            all.push_back({{"link", p.link},
                           {"where", p.where},
                           {"speed", p.speed ? nlohmann::ordered_json(*p.speed) : nlohmann::ordered_json(nullptr)},
                           {"model", p.model}});
        attachJsonResult("printers", all);
        return;
    }
    for (const FoundPrinter& p : found)
        out << p.link << ' ' << p.where << ' ' << (p.speed ? std::to_string(*p.speed) : "-") << ' '
            << (p.model.empty() ? "-" : TerminalSafe(p.model)) << '\n';
    out << MessageWithNumbers("sPrintersFoundMsg", {static_cast<long long>(found.size())}) << '\n';
}

}  // namespace

int runFind(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    // "find --json" is "--json find": one object, whichever way it is asked.
    if (!options.json) {
        const auto flag = std::ranges::find(options.arguments, "--json");
        if (flag != options.arguments.end()) {
            CliOptions asJson = options;
            asJson.json = true;
            asJson.arguments.erase(asJson.arguments.begin() + (flag - options.arguments.begin()));
            return runWithJsonResult(*findCommand("find"), asJson, out, err);
        }
    }
    FindRequest request;
    std::vector<DatagramPeer> peers;
    Progress progress(err, options.quiet);
    try {
        request = parseFind(options.arguments);
        for (const std::string& target : request.udpHosts)
            if (const auto peer = udpPeer(target, err, progress))
                peers.push_back(*peer);
    } catch (const UsageError& e) {
        return usageError(err, e.what(), "find");
    }
    if (request.range) {
        bool groupLeftOut = false;
        for (const std::uint32_t address : request.range->addresses()) {
            if (isGroupAddress(address))
                groupLeftOut = true;
            else
                peers.push_back({address, request.range->port});
        }
        if (groupLeftOut)
            err << "udp-range: " << MessageText("sGroupAddressMsg") << '\n';
    }

    const bool anyNamed = !request.serialPorts.empty() || !request.usbDevices.empty() ||
        !request.udpHosts.empty() || request.range;
    if (!anyNamed) {
        const UsbSystemPaths paths = UsbSystemPaths::fromEnvironment();
        request.serialPorts = listSerialPorts(paths.sysfsRoot + "/class/tty", paths.devRoot);
        if (const auto devices = usbDeviceIdentifiers(err))
            for (const std::string& device : *devices)
                if (IsPrinterIdentifier(device))
                    request.usbDevices.push_back(device);
    }

    std::vector<FoundPrinter> found;
    findOnSerial(options, request.serialPorts, found, err, progress);
    findOnUsb(options, request.usbDevices, found, err, progress);
    findOnNetwork(peers, found, err, progress);
    progress.clear();
    printFound(found, options.json, out);
    return found.empty() ? 1 : 0;
}

int runListPorts(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.arguments.empty())
        return usageError(err, MessageWithValues("sNoArgumentsMsg", {"list-ports"}), "list-ports");
    const UsbSystemPaths paths = UsbSystemPaths::fromEnvironment();
    const std::vector<SerialPortDetails> ports = describeSerialPorts(paths.sysfsRoot, paths.devRoot);
    if (options.json) {
        nlohmann::ordered_json all = nlohmann::ordered_json::array();
        for (const SerialPortDetails& port : ports)
            all.push_back({{"path", port.path},
                           {"driver", port.driver},
                           {"usb_id", port.usbId},
                           {"maker", port.maker},
                           {"product", port.product},
                           {"stable_names", port.stableNames}});
        attachJsonResult("ports", all);
        return 0;
    }
    if (ports.empty()) {
        out << MessageText("sNoSerialPortsMsg") << '\n';
        return 0;
    }
    for (const SerialPortDetails& port : ports) {
        out << port.path << '\n';
        if (!port.driver.empty())
            out << "  " << MessageText("sPortDriverMsg") << ": " << port.driver << '\n';
        if (!port.usbId.empty()) {
            std::string device = port.maker;
            if (!port.product.empty())
                device += (device.empty() ? "" : " ") + port.product;
            out << "  USB: " << (device.empty() ? "" : device + " ") << "(" << port.usbId << ")\n";
        }
        for (const std::string& name : port.stableNames)
            out << "  " << MessageText("sPortStableNameMsg") << ": " << name << '\n';
    }
    return 0;
}

}  // namespace pst::cli
