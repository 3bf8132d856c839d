#pragma once
// Command-line options shared by every command of pennafor-cli.

#include <optional>
#include <string>
#include <vector>

namespace pst::cli {

struct CliOptions {
    std::string dataDir;
    std::string serialPort = "COM1";
    std::string deviceSpeed = "9600";
    std::string transferSpeed = "115200";
    bool help = false;
    bool version = false;
    std::string command;
    std::vector<std::string> arguments;
};

struct ParseResult {
    std::optional<CliOptions> options;
    std::string error;  // set when options is empty
};

ParseResult parseCommandLine(const std::vector<std::string>& args);

}  // namespace pst::cli
