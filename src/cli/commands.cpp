#include "cli/commands.h"

#include <ostream>

#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "cli/download_commands.h"
#include "cli/find_commands.h"
#include "cli/logo_commands.h"
#include "cli/operation_commands.h"
#include "cli/usb_commands.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

int runLinkTest(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.arguments.empty())
        return usageError(err, "test takes no arguments", "test");
    CliSession session(options, out, err);
    const int status = session.run(operationNumber(Operation::LinkTest));
    if (status == 0)
        out << MessageText("sModelMsg") << ": " << session.worker().DeviceModel() << '\n';
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
              "--json              one JSON array of {\"link\",\"where\",\"speed\",\"model\"} instead\n"
              "                    of the lines\n"
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

}  // namespace pst::cli
