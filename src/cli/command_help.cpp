#include "cli/command_help.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <ostream>
#include <string_view>

#include "cli/command_suggestions.h"
#include "cli/commands.h"
#include "cli/help_texts.h"
#include "requests/profile.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

constexpr std::size_t kHeadWidth = 28;

constexpr const char* kUsageText =
    "Usage: pennafor-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
    "       pennafor-cli COMMAND --help\n"
    "       pennafor-cli help COMMAND\n"
    "\n"
    "Configures a Pennafor thermal printer from the command line. The options below may\n"
    "come before or after the command, up to a --.\n";

constexpr const char* kOptionsText =
    "Options:\n"
    "  --serial PORT          serial port: COM1..COMn or a device path (default COM1)\n"
    "  --udp HOST[:PORT]      network link: the printer's address and UDP port (default 5100)\n"
    "  --usb IDENTIFIER       USB link: a device from list-usb, such as VID_xxxx&PID_811E\n"
    "  --device-speed N       speed the printer listens at, bit/s (default 9600)\n"
    "  --transfer-speed N     speed used during each command, bit/s (default 115200)\n"
    "  --auto-speed           a serial printer that does not answer at --device-speed is\n"
    "                         looked for at the other speeds; the command goes on at the\n"
    "                         one it answers at (without it, that speed is only named)\n"
    "  --json                 one JSON object on standard output when the command ends: the\n"
    "                         command, link, model, ok, exit status, error, status texts,\n"
    "                         duration and what the command found; its shape is\n"
    "                         docs/cli-json-schema.json (messages still go to standard\n"
    "                         error; progress too, but only to a terminal)\n"
    "  -q, --quiet            no status texts and no progress: errors and the result only\n"
    "  --data-dir DIR         folder for debug.log, settings and the logo bank (default: the\n"
    "                         program's folder when writable; an installed program uses\n"
    "                         $XDG_CONFIG_HOME/pennafor-setting-tool, normally\n"
    "                         ~/.config/pennafor-setting-tool; on Windows\n"
    "                         %APPDATA%\\pennafor-setting-tool)\n"
    "  --full-log             debug.log keeps every block of a long transfer (by default the\n"
    "                         first and last 50 are kept and the others counted)\n"
    "  --language en|zh       language of the printed texts (default: the window's last\n"
    "                         choice, otherwise LC_ALL, LC_MESSAGES or LANG: zh* Chinese,\n"
    "                         anything else English; Chinese when none is set)\n"
    "  -h, --help             show this help; after a command, that command's help\n"
    "  -V, --version          show the version and the data folder (creates nothing)\n"
    "  --                     ends the options: every word after it goes to the command\n"
    "                         as it is, even one that starts with --\n";

constexpr const char* kUsualLinkText =
    "Usual link (when the command line names no link or speed):\n"
    "  PENNAFOR_LINK          environment variable: serial:PORT, udp:HOST[:PORT] or\n"
    "                         usb:IDENTIFIER, such as udp:192.168.1.50:5100\n"
    "  [Cli] Link             the same in the data folder's sysconfig.ini, used when\n"
    "                         PENNAFOR_LINK is not set\n"
    "  [Cli] DeviceSpeed      the --device-speed to use when none is given\n"
    "  [Cli] TransferSpeed    the --transfer-speed to use when none is given\n"
    "                         Without either: --serial COM1 at 9600 and 115200 bit/s\n";

constexpr const char* kClosingText =
    "'pennafor-cli help COMMAND' tells what a command sends, whether the printer confirms it,\n"
    "and gives an example. Status texts go to standard output, errors to standard error.\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  the printer operation failed\n"
    "  2  the command line was wrong\n"
    "  130  stopped by Ctrl-C (143: SIGTERM, 129: SIGHUP): the run stops between two blocks,\n"
    "       the printer is switched back and debug.log written; a second Ctrl-C ends at once\n";

struct GroupTitle {
    CommandGroup group;
    const char* key;
    const char* title;
};

constexpr GroupTitle kGroups[] = {
    {CommandGroup::Link, "Group.Link", "Link:"},
    {CommandGroup::Settings, "Group.Settings", "Settings:"},
    {CommandGroup::PrinterCommands, "Group.PrinterCommands", "Printer commands:"},
    {CommandGroup::Downloads, "Group.Downloads", "Downloads and updates:"},
};

struct ReplyText {
    PrinterReply reply;
    const char* key;
    const char* text;
};

constexpr ReplyText kReplies[] = {
    {PrinterReply::Confirmed, "Reply.Confirmed", "confirms it; exit status 1 when it does not answer"},
    {PrinterReply::Unanswered, "Reply.Unanswered",
     "sends no reply; exit status 0 means the bytes went out, not that they were taken"},
    {PrinterReply::ReadBack, "Reply.ReadBack", "sends the data back; the command keeps what it read"},
    {PrinterReply::None, "Reply.None", "is not involved"},
};

constexpr std::string_view kGroupsPlaceholder = "%GROUPS%";

std::string replyText(PrinterReply reply)
{
    for (const auto& [each, key, text] : kReplies)
        if (each == reply)
            return helpText(key, text);
    return {};
}

// "set-codepage.Summary": a command's piece is named after the command, so
// the language files keep their keys when the table's order changes.
std::string commandKey(const Command& command, std::string_view piece)
{
    return std::string(command.name) + "." + std::string(piece);
}

// The profile groups' names in place of "%GROUPS%", wrapped under the
// column the placeholder stands in.
std::string withProfileGroups(std::string text)
{
    const std::size_t at = text.find(kGroupsPlaceholder);
    if (at == std::string::npos)
        return text;
    const std::size_t lineEnd = text.rfind('\n', at);
    const std::string indent(lineEnd == std::string::npos ? at : at - lineEnd - 1, ' ');
    constexpr std::size_t kWidth = 90;
    std::string names;
    std::size_t column = indent.size();
    for (const requests::ProfileGroup& group : requests::ProfileGroups()) {
        if (!names.empty()) {
            if (column + 1 + group.name.size() > kWidth) {
                names += "\n" + indent;
                column = indent.size();
            } else {
                names += ' ';
                ++column;
            }
        }
        names += group.name;
        column += group.name.size();
    }
    return text.replace(at, kGroupsPlaceholder.size(), names);
}

std::string commandText(const Command& command, std::string_view piece, const char* builtIn)
{
    return withProfileGroups(helpText(commandKey(command, piece), builtIn));
}

std::string usageLine(const Command& command)
{
    return std::string("pennafor-cli [OPTIONS] ") + command.name + (*command.arguments ? " " : "") +
        command.arguments;
}

// Each line of `text` two blanks in.
void printIndented(std::ostream& out, std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        out << "  " << text.substr(0, end) << '\n';
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

void printUsage(std::ostream& out)
{
    out << helpText("Main.Usage", kUsageText) << '\n'
        << helpText("Main.Options", kOptionsText) << '\n'
        << helpText("Main.UsualLink", kUsualLinkText);
    for (const auto& [group, key, title] : kGroups) {
        out << '\n' << helpText(key, title) << '\n';
        for (const auto& command : commands()) {
            if (command.group != group)
                continue;
            const std::string head =
                std::string(command.name) + (*command.arguments ? " " : "") + command.arguments;
            // A head that fills the column puts its summary on a line of its own:
            // one blank after it would run it into the summary for help2man.
            out << "  " << std::left << std::setw(kHeadWidth) << head
                << (head.size() >= kHeadWidth ? "\n" + std::string(kHeadWidth + 2, ' ') : std::string())
                << " " << commandText(command, "Summary", command.summary) << '\n';
        }
    }
    out << '\n' << helpText("Main.Closing", kClosingText);
}

void printCommandHelp(const Command& command, std::ostream& out)
{
    // The built-in English summary starts lower case for the main help's
    // list and becomes a sentence here.
    std::string summary = commandText(command, "Summary", command.summary);
    if (!summary.empty())
        summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    const std::string stop = helpText("Help.FullStop", ".");
    out << helpText("Help.Usage", "Usage: ") << usageLine(command) << "\n\n" << summary << stop << "\n\n";
    if (*command.help.details) {
        out << helpText("Help.Arguments", "Arguments:") << '\n';
        printIndented(out, commandText(command, "Details", command.help.details));
        out << '\n';
    } else
        out << helpText("Help.NoArguments", "Arguments: none.") << "\n\n";
    out << helpText("Help.Sends", "Sends:   ") << commandText(command, "Sends", command.help.sends) << stop
        << '\n'
        << helpText("Help.Printer", "Printer: ") << replyText(command.help.reply) << stop << '\n'
        << helpText("Help.Example", "Example: ") << "pennafor-cli " << command.help.example << '\n';
}

std::vector<HelpPiece> helpPieces()
{
    std::vector<HelpPiece> pieces = {
        {"Main.Usage", kUsageText},
        {"Main.Options", kOptionsText},
        {"Main.UsualLink", kUsualLinkText},
    };
    for (const auto& [group, key, title] : kGroups)
        pieces.push_back({key, title});
    pieces.push_back({"Main.Closing", kClosingText});
    pieces.push_back({"Help.FullStop", "."});
    pieces.push_back({"Help.Usage", "Usage: "});
    pieces.push_back({"Help.Arguments", "Arguments:"});
    pieces.push_back({"Help.NoArguments", "Arguments: none."});
    pieces.push_back({"Help.Sends", "Sends:   "});
    pieces.push_back({"Help.Printer", "Printer: "});
    pieces.push_back({"Help.Example", "Example: "});
    for (const auto& [reply, key, text] : kReplies)
        pieces.push_back({key, text});
    for (const Command& command : commands()) {
        pieces.push_back({commandKey(command, "Summary"), command.summary});
        if (*command.help.details)
            pieces.push_back({commandKey(command, "Details"), command.help.details});
        pieces.push_back({commandKey(command, "Sends"), command.help.sends});
    }
    return pieces;
}

void loadHelpTexts(const IniDocument& file)
{
    for (const HelpPiece& piece : helpPieces())
        if (const auto value = file.value(kHelpSection, piece.key))
            setHelpText(piece.key, helpValueFromFile(*value));
}

int runHelp(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.size() > 1)
        return usageError(err, MessageWithValues("sUnexpectedArgumentMsg", {arguments[1]}));
    if (arguments.empty()) {
        printUsage(out);
        return 0;
    }
    const Command* command = findCommand(arguments.front());
    if (!command)
        return unknownCommand(err, arguments.front());
    printCommandHelp(*command, out);
    return 0;
}

int unknownCommand(std::ostream& err, const std::string& name)
{
    std::vector<std::string> names{kHelpCommand};
    for (const Command& command : commands())
        names.emplace_back(command.name);
    const std::vector<std::string> nearest = nearestNames(name, names);
    if (nearest.empty())
        return usageError(err, MessageWithValues("sUnknownCommandMsg", {name}));
    std::string list;
    for (const std::string& candidate : nearest)
        list += (list.empty() ? "" : ", ") + candidate;
    return usageError(err, MessageWithValues("sDidYouMeanMsg", {name, list}));
}

int usageError(std::ostream& err, const std::string& what, const std::string& command)
{
    const std::string help = "pennafor-cli " + command + (command.empty() ? "" : " ") + "--help";
    err << "pennafor-cli: " << what << '\n' << MessageWithValues("sTryHelpMsg", {help}) << '\n';
    return 2;
}

}  // namespace pst::cli
