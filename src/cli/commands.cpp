#include "cli/commands.h"

#include <iomanip>
#include <ostream>

#include "cli/cli_session.h"
#include "cli/download_commands.h"
#include "cli/operation_commands.h"
#include "cli/usb_commands.h"

namespace pst::cli {

namespace {

int runLinkTest(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.arguments.empty()) {
        err << "test takes no arguments\n";
        return 2;
    }
    CliSession session(options, out, err);
    return session.run(operationNumber(Operation::LinkTest));
}

}  // namespace

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = [] {
        std::vector<Command> t = {
            {"test", "", "test the link: switch to the transfer speed, identify the printer, switch back",
             &runLinkTest},
            {"list-usb", "", "list the USB devices present; printers (product id 811E) are marked *",
             &runListUsb},
        };
        appendOperationCommands(t);
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

void printUsage(std::ostream& out)
{
    out << "Usage: pennafor-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
           "\n"
           "Configures a Pennafor thermal printer from the command line.\n"
           "\n"
           "Options:\n"
           "  --serial PORT          serial port: COM1..COMn or a device path (default COM1)\n"
           "  --udp HOST[:PORT]      network link: the printer's address and UDP port (default 5100)\n"
           "  --usb IDENTIFIER       USB link: a device from list-usb, such as VID_xxxx&PID_811E\n"
           "  --device-speed N       speed the printer listens at, bit/s (default 9600)\n"
           "  --transfer-speed N     speed used during each command, bit/s (default 115200)\n"
           "  --data-dir DIR         folder for debug.log and settings (default: the program folder)\n"
           "  --language en|zh       language of the printed texts (default: the window's last choice)\n"
           "  --help                 show this help\n"
           "  --version              show the version\n"
           "\n"
           "Commands:\n";
    for (const auto& command : commands()) {
        std::string head = std::string(command.name) + (*command.arguments ? " " : "") + command.arguments;
        out << "  " << std::left << std::setw(28) << head << " " << command.summary << '\n';
    }
    out << "\nStatus texts go to standard output, errors to standard error. Exit status: 0 done,\n"
           "1 the printer operation failed, 2 the command line was wrong.\n";
}

}  // namespace pst::cli
