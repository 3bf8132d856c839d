#include "cli/cli_options.h"

namespace pst::cli {

namespace {

// "--name value" or "--name=value"; advances `i` past what it used.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value, std::string& error)
{
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return true;
        }
        value = args[++i];
        return true;
    }
    if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& args)
{
    CliOptions options;
    std::string error;
    std::size_t i = 0;
    for (; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (takeValue(args, i, "--data-dir", options.dataDir, error) ||
                   takeValue(args, i, "--serial", options.serialPort, error) ||
                   takeValue(args, i, "--device-speed", options.deviceSpeed, error) ||
                   takeValue(args, i, "--transfer-speed", options.transferSpeed, error)) {
            // taken
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
        } else {
            options.command = arg;
            options.arguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
    }
    if (!error.empty())
        return {std::nullopt, error};
    if (options.command.empty() && !options.help && !options.version)
        return {std::nullopt, "no command given"};
    return {options, {}};
}

}  // namespace pst::cli
