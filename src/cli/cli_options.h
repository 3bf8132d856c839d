#pragma once
// Command-line options shared by every command of pennafor-cli.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/connection_settings.h"

namespace pst::cli {

inline constexpr int kDefaultPrinterPort = 5100;

struct CliOptions {
    std::string dataDir;
    // Which link the printer is reached over; one of --serial, --udp, --usb.
    LinkKind link = LinkKind::Serial;
    std::string serialPort = "COM1";
    std::string udpHost;  // --udp HOST[:PORT]
    int udpPort = kDefaultPrinterPort;
    std::string usbDevice;  // --usb VID_xxxx&PID_xxxx[&MI_xx]
    // Speeds the printer has a code for: checked where they were read.
    std::uint32_t deviceSpeed = 9600;
    std::uint32_t transferSpeed = 115200;
    std::string language;  // --language en|zh; empty: the stored choice, else the environment
    // Which of the link and the speeds the command line named itself; the
    // others may come from the usual link (usual_link.h).
    bool linkGiven = false;
    bool deviceSpeedGiven = false;
    bool transferSpeedGiven = false;
    // --auto-speed: a serial printer that does not answer at --device-speed
    // is looked for at the other speeds, and the command goes on at the one
    // that answers.
    bool autoSpeed = false;
    // --json: one JSON object on standard output at the end, nothing else there.
    bool json = false;
    // --quiet, -q: no status texts and no progress; errors and the result only.
    bool quiet = false;
    // --full-log: "debug.log" keeps every block of a long transfer.
    bool fullLog = false;
    bool help = false;
    bool version = false;
    std::string command;
    std::vector<std::string> arguments;
};

struct ParseResult {
    std::optional<CliOptions> options;
    std::string error;  // set when options is empty
};

// Whether `command` reads the option `option` ("--serial") itself, so that
// after the command's name it is the command's and not the global one.
using CommandKeepsOption = std::function<bool(std::string_view command, std::string_view option)>;

// The global options go before or after the command; "--" ends them, and
// what follows it is the command's as it stands.
ParseResult parseCommandLine(const std::vector<std::string>& args, const CommandKeepsOption& keeps = {});

// The value of --language and --data-dir as far as they can be read even
// from a command line that is wrong, so that its error is told in the
// language asked for.
struct EarlyChoices {
    std::string language;
    std::string dataDir;
};
EarlyChoices earlyChoices(const std::vector<std::string>& args);

// HOST[:PORT] as --udp takes it, into options.udpHost and options.udpPort;
// returns an error text, empty when understood.
std::string parseUdpTarget(const std::string& value, CliOptions& options);

// Aims `options` over `kind` at `where`: the serial port, HOST[:PORT] or the
// USB identifier. Returns an error text, empty when understood.
std::string aimLink(CliOptions& options, LinkKind kind, const std::string& where);
// Where `options` are aimed, as aimLink takes it.
std::string linkTarget(const CliOptions& options);

// When `value` is a speed the printer has a code for, sets `speed` to it and
// returns nothing; otherwise returns the refusal, naming `name` (an option or
// where the value came from), and leaves `speed` alone.
std::string readSerialSpeed(const std::string& name, const std::string& value, std::uint32_t& speed);

}  // namespace pst::cli
