// --json as scripts read it: every command's object against the published
// schema, and progress kept out of standard output.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "cli/commands.h"
#include "cli/download_cli_fixture.h"

using pst::test::DownloadCli;
using pst::test::shellQuote;

namespace {

// Words that make a command do its work rather than refuse its arguments;
// a command not named here runs with none.
std::vector<std::string> argumentsFor(const std::string& command, const std::string& folder)
{
    const std::map<std::string, std::vector<std::string>> known{
        {"find", {"--serial", folder + "/printer"}},
        {"profile", {"show", folder + "/shop.ini"}},
        {"apply", {folder + "/shop.ini", "--serial", folder + "/printer"}},
        {"set-codepage", {"CP437:USA/Standard Europe"}},
        {"download-font", {folder + "/font.bin", "20000"}},
        {"read-memory", {"20000", "100", folder + "/back.hex"}},
        {"print-logos", {"1"}},
        {"boot-handshake", {"--limit", "1"}},
        {"update-program", {folder + "/font.bin", "--limit", "1"}},
        {"update-firmware", {folder + "/font.bin", "--limit", "1"}},
    };
    const auto found = known.find(command);
    return found == known.end() ? std::vector<std::string>{} : found->second;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

TEST_F(DownloadCli, EveryCommandsJsonFollowsTheSchema)
{
    startPrinter();
    write("font.bin", std::vector<std::uint8_t>(3000, 0x5A));
    std::ofstream(folder / "shop.ini") << "[ParaDefault]\nCodePage=0\nMystery=1\n";
    std::vector<std::string> files;
    const auto keep = [&](const std::string& name, const pst::test::Outcome& outcome) {
        const std::string file = (folder / (name + ".json")).string();
        std::ofstream(file) << outcome.out;
        files.push_back(shellQuote(file));
        EXPECT_EQ(std::ranges::count(outcome.out, '\n'), 1) << name << ": " << outcome.out;
    };
    for (const pst::cli::Command& command : pst::cli::commands()) {
        std::vector<std::string> args{"--json", command.name};
        for (const std::string& word : argumentsFor(command.name, folder.string()))
            args.push_back(word);
        keep(command.name, cli(args));
    }
    // Asked either way, find answers with the same object.
    const auto before = cli({"--json", "find", "--serial", port()});
    const auto after = cli({"find", "--json", "--serial", port()});
    keep("find-after", after);
    const auto withoutDuration = [](std::string text) { return text.substr(0, text.find("\"duration\"")); };
    EXPECT_EQ(withoutDuration(before.out), withoutDuration(after.out));
    EXPECT_NE(after.out.find("\"printers\":[{\"link\":\"serial\""), std::string::npos) << after.out;
    // The font's download shows no count among its status texts.
    EXPECT_EQ(pst::test::readFile(folder / "download-font.json").find('%'), std::string::npos);

    std::string command = shellQuote(PST_SCHEMA_PYTHON) + " " + shellQuote(PST_JSON_CHECK_SCRIPT) + " " + shellQuote(PST_JSON_SCHEMA);
    for (const std::string& file : files)
        command += " " + file;
    command += " >" + shellQuote((folder / "check").string()) + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << pst::test::readFile(folder / "check");
}

TEST_F(DownloadCli, ProgressGoesToStandardErrorATenthAtATime)
{
    // At the wire's own pace the download takes over a second: a count
    // every 70 ms, far more than the tenths.
    startPrinter({.pace = true});
    const std::string font = write("font.bin", std::vector<std::uint8_t>(16 * 1024, 0x5A));
    const auto down = cli({"download-font", font, "20000"});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_EQ(down.out.find('%'), std::string::npos) << down.out;
    const auto lines = linesOf(down.err);
    EXPECT_GE(lines.size(), 5u) << down.err;
    EXPECT_LE(lines.size(), 11u) << down.err;
    for (const std::string& line : lines)
        EXPECT_NE(line.find('%'), std::string::npos) << line;
    EXPECT_EQ(lines.back().rfind("100.0%  16.0 KiB / 16.0 KiB  用时 ", 0), 0u) << lines.back();
    EXPECT_EQ(down.err.find('\r'), std::string::npos);

    const auto quiet = cli({"-q", "download-font", font, "20000"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "");
}
