#include "app/app_options.h"

namespace pst::app {

AppOptionsResult parseAppOptions(const std::vector<std::string>& args)
{
    AppOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* target = nullptr;
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name == "--data-dir")
            target = &options.dataDir;
        else if (name == "--serial")
            target = &options.serialPort;
        else if (name == "--screenshot")
            target = &options.screenshot;
        if (!target)
            return {std::nullopt, "unknown option " + name};
        if (!value) {
            if (i + 1 >= args.size())
                return {std::nullopt, name + " needs a value"};
            value = args[++i];
        }
        if (value->empty())
            return {std::nullopt, name + " needs a value"};
        *target = *value;
    }
    return {options, {}};
}

}  // namespace pst::app
