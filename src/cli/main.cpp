#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/catch_all.h"
#include "cli/cli_language.h"
#include "cli/cli_options.h"
#include "cli/command_help.h"
#include "cli/commands.h"
#include "cli/json_result.h"
#include "cli/progress_display.h"
#include "cli/stop_requests.h"
#include "cli/usual_link.h"
#include "platform/ini_file.h"
#include "platform/console.h"
#include "platform/program_folder.h"
#include "platform/version.h"
#include "texts/message_texts.h"
#include "texts/data_folder_refusal.h"
#include "texts/main_defaults.h"

namespace {

using namespace pst::cli;

// Standard error, not the stream a command is handed: --json copies that
// one into its "messages". A script reading --json or a log gets no bar.
ProgressStyle progressStyle(const CliOptions& options)
{
    const bool terminal = pst::standardErrorIsTerminal();
    if (options.quiet || (options.json && !terminal))
        return ProgressStyle::None;
    return terminal ? ProgressStyle::InPlace : ProgressStyle::Tenths;
}

// A command ended by a request to stop says so and exits as the signal
// would have ended it.
int runStoppable(const Command& command, const CliOptions& options)
{
    int status = 0;
    {
        const StopOnRequest stopping(std::cerr);
        status = options.json ? runWithJsonResult(command, options, std::cout, std::cerr)
                              : command.run(options, std::cout, std::cerr);
    }
    // Asked only now: a request that came as the command ended has been
    // handed over by the time the listening ends.
    const auto signal = stopRequested();
    if (!signal)
        return status;
    std::cerr << pst::MessageWithText("sInterruptedMsg", pst::StopSignalName(*signal)) << '\n';
    return pst::StopSignalExitStatus(*signal);
}

int runCommandLine(int argc, char** argv)
{
    pst::useUtf8Console();
    const std::vector<std::string> args = pst::commandLineArguments(argc, argv);
    // Before anything can go wrong: a mistake is told in the language asked for.
    const EarlyChoices early = earlyChoices(args);
    applyLanguage(early.language, early.dataDir, std::cerr);
    const ParseResult parsed = parseCommandLine(args, &commandKeepsOption);
    if (!parsed.options)
        return usageError(std::cerr, parsed.error);
    CliOptions options = *parsed.options;
    if (options.help) {
        // "pennafor-cli --help COMMAND" is that command's help.
        if (const Command* named = findCommand(options.command))
            printCommandHelp(*named, std::cout);
        else
            printUsage(std::cout);
        return 0;
    }
    if (options.version) {
        // Only tells where the folder is: asking for the version makes nothing.
        // The manual page's build asks in English and leaves the folder out by
        // that line's words.
        std::cout << "pennafor-cli (Pennafor Setting Tool V" << pst::kVersion << ")\n"
                  << pst::MessageWithText("sDataFolderMsg", pst::locateProgramFolder(options.dataDir))
                  << '\n';
        return 0;
    }
    if (options.command == kHelpCommand)
        return runHelp(options.arguments, std::cout, std::cerr);
    const Command* command = findCommand(options.command);
    if (!command)
        return unknownCommand(std::cerr, options.command);
    // Another user's folder, or one others may write to, gets nothing from
    // this program: its files could be links planted to redirect a save.
    const std::string folder = pst::resolveProgramFolder(options.dataDir);
    if (!pst::folderIsTrusted(folder)) {
        std::cerr << "pennafor-cli: "
                  << pst::texts::DataFolderRefusal(folder, parseLanguage(options.language)) << '\n';
        return 2;
    }
    setProgressDisplay(std::cerr, progressStyle(options));
    const auto settings = pst::IniDocument::load(pst::joinPath(folder, pst::texts::kSettingsFileName));
    if (const std::string error = applyUsualLink(options, std::getenv(kUsualLinkVariable), settings);
        !error.empty())
        return usageError(std::cerr, error);
    return runStoppable(*command, options);
}

}  // namespace

int main(int argc, char** argv)
{
    return runCatchingAll(std::cerr, [&] { return runCommandLine(argc, argv); });
}
