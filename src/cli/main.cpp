#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_language.h"
#include "cli/cli_options.h"
#include "cli/command_help.h"
#include "cli/commands.h"
#include "cli/json_result.h"
#include "platform/console.h"
#include "platform/program_folder.h"
#include "platform/version.h"
#include "texts/data_folder_refusal.h"

int main(int argc, char** argv)
{
    using namespace pst::cli;
    pst::useUtf8Console();
    const std::vector<std::string> args = pst::commandLineArguments(argc, argv);
    const ParseResult parsed = parseCommandLine(args);
    if (!parsed.options)
        return usageError(std::cerr, parsed.error);
    const CliOptions& options = *parsed.options;
    if (options.help) {
        // "pennafor-cli --help COMMAND" is that command's help.
        if (const Command* named = findCommand(options.command))
            printCommandHelp(*named, std::cout);
        else
            printUsage(std::cout);
        return 0;
    }
    if (options.version) {
        std::cout << "pennafor-cli (Pennafor Setting Tool V" << pst::kVersion << ")\n"
                  << "Data folder: " << pst::resolveProgramFolder(options.dataDir) << '\n';
        return 0;
    }
    const Command* command = findCommand(options.command);
    if (!command)
        return usageError(std::cerr, "unknown command '" + options.command + "'");
    if (asksForHelp(options.arguments)) {
        printCommandHelp(*command, std::cout);
        return 0;
    }
    // Another user's folder, or one others may write to, gets nothing from
    // this program: its files could be links planted to redirect a save.
    if (const std::string folder = pst::resolveProgramFolder(options.dataDir);
        !pst::folderIsTrusted(folder)) {
        std::cerr << "pennafor-cli: "
                  << pst::texts::DataFolderRefusal(folder, parseLanguage(options.language)) << '\n';
        return 2;
    }
    applyLanguage(options.language, options.dataDir, std::cerr);
    if (options.json)
        return runWithJsonResult(*command, options, std::cout, std::cerr);
    return command->run(options, std::cout, std::cerr);
}
