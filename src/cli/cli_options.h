#pragma once
// Command-line options shared by every command of pennafor-cli.

#include <optional>
#include <string>
#include <vector>

namespace pst::cli {

// Which link the printer is reached over; one of --serial, --udp, --usb.
enum class CliLink { Serial, Network, Usb };

inline constexpr int kDefaultPrinterPort = 5100;

struct CliOptions {
    std::string dataDir;
    CliLink link = CliLink::Serial;
    std::string serialPort = "COM1";
    std::string udpHost;  // --udp HOST[:PORT]
    int udpPort = kDefaultPrinterPort;
    std::string usbDevice;  // --usb VID_xxxx&PID_xxxx[&MI_xx]
    std::string deviceSpeed = "9600";
    std::string transferSpeed = "115200";
    std::string language;  // --language en|zh; empty: the stored choice, else the environment
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

ParseResult parseCommandLine(const std::vector<std::string>& args);

// HOST[:PORT] as --udp takes it, into options.udpHost and options.udpPort;
// returns an error text, empty when understood.
std::string parseUdpTarget(const std::string& value, CliOptions& options);

}  // namespace pst::cli
