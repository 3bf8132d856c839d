#include "cli_options.h"

#include "line_speeds.h"

#include <charconv>
#include <climits>
#include <optional>
#include <string_view>
#include <utility>

namespace pst::sim {
namespace {

std::optional<unsigned> parseUnsigned(std::string_view text, unsigned max = UINT_MAX)
{
    unsigned value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value > max)
        return std::nullopt;
    return value;
}

// Applies MODE[:COUNT] to `fault`; returns an error text, empty on success.
std::string parseFault(std::string_view text, FaultSpec& fault)
{
    const auto colon = text.find(':');
    const auto mode = parseFaultMode(text.substr(0, colon));
    if (!mode) {
        return "unknown fault mode '" + std::string(text.substr(0, colon)) +
            "' (none, silent, bad-header, bad-payload, noise, split, late, drop-speed-reply, silent-after, corrupt-write)";
    }
    fault.mode = *mode;
    fault.count = -1;
    if (colon != std::string_view::npos) {
        const auto count = parseUnsigned(text.substr(colon + 1), INT_MAX);
        if (!count)
            return "fault count must be a non-negative number in '" + std::string(text) + "'";
        fault.count = static_cast<int>(*count);
    }
    // Silence from the start would be the plain silent fault.
    if (fault.mode == FaultMode::SilentAfter && fault.count < 0)
        return "silent-after needs the number of blocks to confirm first, as in silent-after:2";
    if (fault.mode == FaultMode::CorruptWrite && fault.count <= 0)
        return "corrupt-write needs the number of the memory write to spoil, as in corrupt-write:3";
    return {};
}

// Returns an error text for `name value`, empty when it was understood.
std::string applyValue(std::string_view name, const std::string& value, SimOptions& opts)
{
    if (name == "--pty") {
        if (value.empty())
            return "--pty needs a path";
        opts.ptyLink = value;
    } else if (name == "--model") {
        if (value.size() > 8)
            return "--model takes at most 8 characters";
        opts.model = value;
    } else if (name == "--speed") {
        const auto speed = parseUnsigned(value);
        if (!speed || !isPrinterSpeed(*speed)) {
            return "--speed must be one of 1200 2400 4800 9600 19200 38400 57600 115200 230400";
        }
        opts.speed = *speed;
    } else if (name == "--udp") {
        const auto colon = value.rfind(':');
        if (colon == std::string::npos || colon == 0 || !parseUnsigned(value.substr(colon + 1), 65535))
            return "--udp takes ADDRESS:PORT, such as 127.0.0.1:5100 (port 0 takes a free one)";
        opts.udpAddress = value;
    } else if (name == "--state") {
        if (value.empty())
            return "--state needs a file name";
        opts.stateFile = value;
    } else if (name == "--fault") {
        return parseFault(value, opts.fault);
    } else if (name == "--restart-ms") {
        const auto ms = parseUnsigned(value, INT_MAX);
        if (!ms)
            return "--restart-ms needs a number of milliseconds";
        opts.restartPauseMs = static_cast<int>(*ms);
    } else if (name == "--split-ms" || name == "--late-ms") {
        const auto ms = parseUnsigned(value, INT_MAX);
        if (!ms)
            return std::string(name) + " needs a number of milliseconds";
        (name == "--split-ms" ? opts.fault.splitPauseMs : opts.fault.lateMs) = static_cast<int>(*ms);
    } else {
        return "unknown option " + std::string(name);
    }
    return {};
}

bool takesValue(std::string_view name)
{
    return name == "--pty" || name == "--udp" || name == "--model" || name == "--speed" ||
        name == "--state" || name == "--fault" || name == "--split-ms" || name == "--late-ms" ||
        name == "--restart-ms";
}

CommandLine failure(std::string error)
{
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.error = std::move(error);
    return result;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (arg == "--version") {
            result.action = CommandLine::Action::Version;
            return result;
        }
        if (arg == "--pace") {
            result.options.pace = true;
            continue;
        }
        if (arg == "--boot-loader") {
            result.options.bootLoader = true;
            continue;
        }
        if (arg == "--no-pty") {
            result.options.servePty = false;
            continue;
        }
        if (arg == "--udp-other-port") {
            result.options.udpReplyFromOtherPort = true;
            continue;
        }
        std::string name(arg);
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = std::string(arg.substr(0, eq));
            value = std::string(arg.substr(eq + 1));
        }
        if (!takesValue(name))
            return failure("unknown option " + name);
        if (!value) {
            if (i + 1 >= args.size())
                return failure(name + " needs a value");
            value = args[++i];
        }
        if (auto error = applyValue(name, *value, result.options); !error.empty()) {
            return failure(std::move(error));
        }
    }
    if (!result.options.servePty && result.options.udpAddress.empty())
        return failure("--no-pty needs --udp: the printer must be reachable somehow");
    return result;
}

std::string usageText()
{
    return R"(Usage: pennafor-printer-sim [options]

Plays a thermal receipt printer behind a pseudo-terminal (its serial port)
and, when asked, a UDP port (its Ethernet port), for testing the setting tool
without hardware. Runs until interrupted (SIGINT/SIGTERM).

Options:
  --pty PATH           create a symbolic link PATH to the pty's slave device
  --udp ADDR:PORT      also answer UDP datagrams there (port 0: a free one);
                       replies go back from the port the request came to
  --no-pty             serve the UDP port only
  --udp-other-port     answer datagrams from another port (a fault)
  --model TEXT         model name reported to identify (max 8 chars, default PNF80)
  --speed BAUD         printer's starting line speed (default 9600); one of
                       1200 2400 4800 9600 19200 38400 57600 115200 230400
  --pace               take as long as a real wire would (10 bits per byte)
  --boot-loader        start in the boot loader: echo 0x61, take a firmware stream
  --restart-ms MS      silence after the program download's connect (default 2000)
  --state FILE         keep FILE updated with the printer state as JSON
  --fault MODE[:N]     spoil the first N replies (default: all); MODE is one of
                       none, silent, bad-header, bad-payload, noise, split, late
  --fault drop-speed-reply[:N]  withhold the replies to the first N speed
                       switches (default: all); the printer still switches
  --fault silent-after:N  confirm N download blocks, then withhold every
                       reply while still acting on what it hears
  --fault corrupt-write:N  store the N-th memory write (0x35) with one byte
                       flipped, confirming it as usual
  --split-ms MS        pause between pieces of a split reply (default 5)
  --late-ms MS         delay of a late reply (default 4000)
  -h, --help           show this help
  --version            show the version

The slave device path (and the UDP address) is printed on standard output once
the printer is ready.
)";
}

}  // namespace pst::sim
