#include "cli/logo_commands.h"

#include <optional>
#include <ostream>
#include <sstream>

#include "cli/argument_parsing.h"
#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "cli/json_attach.h"
#include "cli/operation_commands.h"
#include "protocol/logo_directory.h"
#include "protocol/raw_payloads.h"
#include "requests/download_requests.h"
#include "requests/logo_choices.h"
#include "requests/raw_requests.h"
#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

int run(CliSession& session, requests::Request request)
{
    return session.run(request.operation, request.argument1, request.argument2, std::move(request.handOver));
}

// The bank's directory as the printer returns it; nothing when the read
// failed or the directory is damaged (told on `err`).
std::optional<std::vector<StoredLogo>> readStoredLogos(const CliOptions& options, std::ostream& err)
{
    // The read's texts and count would bury the answer.
    std::ostringstream quiet;
    CliSession session(options, quiet, err);
    session.setProgressShown(false);
    if (run(session, requests::StoredLogosReadRequest()) != 0)
        return std::nullopt;
    std::vector<StoredLogo> logos = ParseLogoDirectory(session.worker().memoryStream());
    if (const int damaged = FirstDamagedLogo(logos); damaged >= 0) {
        err << MessageWithNumbers("sLogoDirectoryDamagedMsg", {damaged}) << '\n';
        return std::nullopt;
    }
    return logos;
}

int runListLogos(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    try {
        Arguments(options.arguments).finish();
    } catch (const UsageError& e) {
        return usageError(err, e.what(), "list-logos");
    }
    const auto logos = readStoredLogos(options, err);
    if (!logos)
        return 1;
    if (options.json) {
        nlohmann::ordered_json all = nlohmann::ordered_json::array();
        for (const StoredLogo& logo : *logos)
            all.push_back({{"number", logo.number},
                           {"width", logo.widthDots()},
                           {"height", logo.heightDots()},
                           {"bytes", logo.imageSize()},
                           {"address", logo.address}});
        attachJsonResult("logos", all);
        return 0;
    }
    for (const std::string& line : requests::StoredLogoLines(*logos))
        out << line << '\n';
    return 0;
}

int runPrintLogos(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::vector<std::uint8_t> numbers;
    bool check = true;
    try {
        Arguments args(options.arguments);
        check = !args.flag("no-check");
        // "1,3" as the window hands it over, or the numbers as separate words.
        std::string list = args.positional("N[,N...]");
        while (const auto more = args.optionalPositional())
            list += "," + *more;
        args.finish();
        numbers = ParseLogoPrintList(list);
    } catch (const UsageError& e) {
        return usageError(err, e.what(), "print-logos");
    } catch (const EInvalidInput& e) {
        return usageError(err, InputRefusalText(e), "print-logos");
    }
    if (check) {
        // The printer prints nothing for a number it does not hold, and says
        // nothing either: ask it first.
        const auto logos = readStoredLogos(options, err);
        if (!logos)
            return 1;
        if (const int missing = FirstMissingLogo(*logos, numbers); missing >= 0) {
            err << MessageWithNumbers("sLogoNotStoredMsg", {missing, static_cast<long long>(logos->size())})
                << '\n';
            return 1;
        }
    }
    CliSession session(options, out, err);
    requests::Request print = requests::PrintLogosRequest({numbers.begin(), numbers.end()});
    const std::size_t bytes = print.bytesToSend;
    const int status = run(session, std::move(print));
    waitForUnansweredBytes(session, bytes);
    return status;
}

}  // namespace

void appendLogoCommands(std::vector<Command>& table)
{
    table.push_back({"print-logos",
                     "[--no-check] N[,N...]",
                     "print stored logos by their numbers",
                     CommandGroup::PrinterCommands,
                     {"N[,N...]    the 1-based numbers in the downloaded logo list, such as 1,3\n"
                      "--no-check  print without asking the printer first which logos it holds\n"
                      "A number the printer does not hold is refused and nothing is printed; so is\n"
                      "every number when the printer's logo directory is damaged.",
                      "memory-read requests for the logo directory (unless --no-check), then 1C 70 n 00\n"
                      "for each number, after the link setup",
                      PrinterReply::Unanswered, "--serial /dev/ttyUSB0 print-logos 1,3"},
                     &runPrintLogos});
    table.push_back({"list-logos",
                     "",
                     "list the logos the printer holds, with their sizes",
                     CommandGroup::Downloads,
                     {"", "memory-read requests for the logo directory at 1CF000 (operation 2)", PrinterReply::ReadBack,
                      "--serial /dev/ttyUSB0 list-logos"},
                     &runListLogos});
}

}  // namespace pst::cli
