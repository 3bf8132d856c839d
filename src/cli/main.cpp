#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_language.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "platform/program_folder.h"
#include "platform/version.h"

int main(int argc, char** argv)
{
    using namespace pst::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = parseCommandLine(args);
    if (!parsed.options) {
        std::cerr << "pennafor-cli: " << parsed.error << "\n\n";
        printUsage(std::cerr);
        return 2;
    }
    const CliOptions& options = *parsed.options;
    if (options.help) {
        printUsage(std::cout);
        return 0;
    }
    if (options.version) {
        std::cout << "pennafor-cli (Pennafor Setting Tool V" << pst::kVersion << ")\n"
                  << "Data folder: " << pst::resolveProgramFolder(options.dataDir) << '\n';
        return 0;
    }
    const Command* command = findCommand(options.command);
    if (!command) {
        std::cerr << "pennafor-cli: unknown command '" << options.command << "'\n\n";
        printUsage(std::cerr);
        return 2;
    }
    applyLanguage(options.language, options.dataDir, std::cerr);
    return command->run(options, std::cout, std::cerr);
}
