#include "cli/commands.h"

#include <algorithm>
#include <ostream>

#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "cli/download_commands.h"
#include "cli/find_commands.h"
#include "cli/logo_commands.h"
#include "cli/operation_commands.h"
#include "cli/profile_commands.h"
#include "cli/terminal_text.h"
#include "cli/usb_commands.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

int runLinkTest(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.arguments.empty())
        return usageError(err, MessageWithValues("sNoArgumentsMsg", {"test"}), "test");
    CliSession session(options, out, err);
    const int status = session.run(Operation::LinkTest);
    if (status == 0)
        out << MessageText("sModelMsg") << ": " << TerminalSafe(session.worker().DeviceModel()) << '\n';
    return status;
}

}  // namespace

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = [] {
        std::vector<Command> t = {
            {"test",
             "",
             "test the link: switch to the transfer speed, identify the printer, switch back",
             CommandGroup::Link,
             {"", "the speed change to --transfer-speed (serial), the identify packet, the change back",
              PrinterReply::Confirmed, "--serial /dev/ttyUSB0 --device-speed 9600 test"},
             &runLinkTest},
            {"list-usb",
             "",
             "list the USB devices present; printers are marked *",
             CommandGroup::Link,
             {"", "nothing: the devices are read from the system (a printer's product id is 811E)",
              PrinterReply::None, "list-usb"},
             &runListUsb},
            {"find",
             "[LINKS] [--json]",
             "look for printers and the speed each serial one listens at",
             CommandGroup::Link,
             {"--serial PORT       a serial port to look on (again for more)\n"
              "--usb IDENTIFIER    a USB device to ask (again for more)\n"
              "--udp HOST[:PORT]   a network address to ask (again for more; port 5100 unless given)\n"
              "--udp-range CIDR[:PORT]  every address of a block such as 192.168.1.0/24, at most\n"
              "                    1024 (a /22); the network and broadcast addresses are left out\n"
              "--json              as pennafor-cli --json find: one JSON object, with the printers\n"
              "                    as {\"link\",\"where\",\"speed\",\"model\"} under \"printers\"\n"
              "Without a link option: every serial port of the machine and every USB printer.\n"
              "A serial port is asked at --device-speed first, then at 9600 115200 19200 38400\n"
              "57600 230400 4800 2400 1200; the first speed that answers wins. A printer listening\n"
              "at another speed may print a short line of garbage while it is looked for.\n"
              "Prints one line per printer, KIND WHERE SPEED MODEL (speed - off the serial port),\n"
              "then how many were found. A port that cannot be opened is told on standard error.\n"
              "Exit status 0 when a printer answered, 1 when none did.",
              "the identify packet: at one serial speed after another (no speed change), to many "
              "network addresses at once",
              PrinterReply::Confirmed, "find --udp-range 192.168.1.0/24"},
             &runFind},
            {"list-ports",
             "",
             "list the serial ports with the driver and USB device behind each",
             CommandGroup::Link,
             {"", "nothing: the ports are read from the system (/sys, /dev/serial/by-id)", PrinterReply::None,
              "list-ports"},
             &runListPorts},
            {"profile",
             "show FILE",
             "show the setting groups a profile holds, and any key that is unknown or invalid",
             CommandGroup::Settings,
             {"FILE    an INI file with the section [ParaDefault], such as the window's sysconfig.ini\n"
              "        or one exported from it; keys may be missing\n"
              "Prints each group with its values; a group with only some of its keys, or a value\n"
              "that cannot be sent, is named with the reason (exit status 2). Keys that are no\n"
              "setting are listed as unknown.",
              "nothing", PrinterReply::None, "profile show shop.ini"},
             &runProfile},
            {"apply",
             "FILE [OPTIONS] LINK...",
             "apply a profile to many printers, with a report",
             CommandGroup::Settings,
             {"FILE                 the profile (see profile show)\n"
              "LINK                 --serial PORT, --udp HOST[:PORT] or --usb IDENTIFIER, as often as\n"
              "                     needed: one printer each\n"
              "--groups G,...       the groups to apply. Default: every group the file holds, except\n"
              "                     baudrate, ethernet, product and a wifi-sta with a static address,\n"
              "                     which must be named. The groups:\n"
              "                     %GROUPS%\n"
              "--jobs N             printers on different links at the same time (one per serial port)\n"
              "--keep-going         after a failed group, go on with the printer's other groups\n"
              "--report OUT         per printer and group: ok, sent, failed or skipped, with the text;\n"
              "                     CSV when OUT ends in .csv, JSON otherwise; rewritten as each\n"
              "                     printer finishes\n"
              "--retry REPORT       only the printers and groups that did not succeed in REPORT\n"
              "--dry-run            print the bytes each printer would be sent; open nothing\n"
              "--save-serial        take the product's serial numbers from FILE as it is now and\n"
              "                     write the next free one back before any printer is contacted\n"
              "Each printer: a link test, then each group in the parameter window's order. The\n"
              "product group gives each printer the next serial number. Exit status 0 when every\n"
              "group of every printer succeeded, 1 otherwise, 2 when the profile has invalid values.",
              "a link test, then each group's commands", PrinterReply::Confirmed,
              "apply shop.ini --jobs 3 --report result.csv --serial /dev/ttyUSB0 --udp 192.168.1.87"},
             &runApply},
        };
        appendOperationCommands(t);
        appendLogoCommands(t);
        appendDownloadCommands(t);
        return t;
    }();
    return table;
}

const Command* findCommand(const std::string& name)
{
    for (const auto& command : commands())
        if (name == command.name)
            return &command;
    return nullptr;
}

bool commandKeepsOption(std::string_view command, std::string_view option)
{
    struct Kept {
        std::string_view command;
        std::string_view option;
    };
    static constexpr Kept kKept[] = {
        {"find", "--serial"},  {"find", "--usb"},  {"find", "--udp"},  {"find", "--json"},
        {"apply", "--serial"}, {"apply", "--usb"}, {"apply", "--udp"}, {"set-product", "--serial"},
    };
    return std::ranges::any_of(kKept, [&](const Kept& kept) { return kept.command == command && kept.option == option; });
}

}  // namespace pst::cli
