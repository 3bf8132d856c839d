#include "cli/commands.h"

#include <ostream>

#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "cli/download_commands.h"
#include "cli/operation_commands.h"
#include "cli/usb_commands.h"

namespace pst::cli {

namespace {

int runLinkTest(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.arguments.empty())
        return usageError(err, "test takes no arguments", "test");
    CliSession session(options, out, err);
    return session.run(operationNumber(Operation::LinkTest));
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

}  // namespace pst::cli
