// pennafor-cli explains itself: every command of the table answers --help
// and -h with its usage line, what it sends, what the printer does with it
// and an example; the main help lists every command under its task; every
// command-line mistake has the same two-line form; all of it in the chosen
// language.

#include <gtest/gtest.h>

#include <regex>

#include "cli/cli_process.h"
#include "cli/command_help.h"
#include "cli/commands.h"
#include "cli/help_texts.h"
#include "platform/ini_file.h"

namespace {

class CliHelp : public pst::test::CliProcessTest { };

std::string usageLine(const pst::cli::Command& command)
{
    return std::string("Usage: pennafor-cli [OPTIONS] ") + command.name + (*command.arguments ? " " : "") +
        command.arguments + "\n";
}

}  // namespace

TEST_F(CliHelp, EveryCommandAnswersHelpWithItsUsageWhatItSendsAndAnExample)
{
    const auto& commands = pst::cli::commands();
    ASSERT_GE(commands.size(), 40u);  // the whole table, not a part of it
    for (const auto& command : commands) {
        for (const char* ask : {"--help", "-h"}) {
            const pst::test::Outcome o = runCli({"--language", "en", command.name, ask});
            EXPECT_EQ(o.status, 0) << command.name << " " << ask << ": " << o.err;
            EXPECT_EQ(o.err, "") << command.name;
            EXPECT_EQ(o.out.rfind(usageLine(command), 0), 0u) << o.out;
            if (*command.arguments) {
                EXPECT_NE(o.out.find("\nArguments:\n"), std::string::npos) << o.out;
            }
            EXPECT_NE(o.out.find("\nSends:   "), std::string::npos) << o.out;
            EXPECT_NE(o.out.find("\nPrinter: "), std::string::npos) << o.out;
            const std::size_t example = o.out.find("\nExample: pennafor-cli ");
            ASSERT_NE(example, std::string::npos) << o.out;
            // The example runs this command, not another.
            const std::string line =
                o.out.substr(example + 1, o.out.find('\n', example + 1) - example - 1) + " ";
            EXPECT_NE(line.find(std::string(" ") + command.name + " "), std::string::npos) << line;
        }
        // Help comes first, whatever else is on the line.
        EXPECT_EQ(runCli({"--language", "en", "--help", command.name}).out.rfind(usageLine(command), 0), 0u)
            << command.name;
    }
}

TEST_F(CliHelp, MainHelpListsEveryCommandUnderItsTaskWithoutOpcodes)
{
    const pst::test::Outcome help = runCli({"--language", "en", "--help"});
    ASSERT_EQ(help.status, 0);
    const std::size_t link = help.out.find("\nLink:\n");
    const std::size_t settings = help.out.find("\nSettings:\n");
    const std::size_t printer = help.out.find("\nPrinter commands:\n");
    const std::size_t downloads = help.out.find("\nDownloads and updates:\n");
    const std::size_t status = help.out.find("\nExit status:\n");
    ASSERT_NE(link, std::string::npos);
    EXPECT_LT(help.out.find("\nOptions:\n"), link);
    EXPECT_LT(link, settings);
    EXPECT_LT(settings, printer);
    EXPECT_LT(printer, downloads);
    EXPECT_LT(downloads, status);
    EXPECT_NE(help.out.find("  2  the command line was wrong\n"), std::string::npos);

    for (const auto& command : pst::cli::commands()) {
        const std::size_t at = help.out.find("\n  " + std::string(command.name) + " ");
        ASSERT_NE(at, std::string::npos) << command.name;
        const std::size_t groupStart[] = {link, settings, printer, downloads, status};
        const auto group = static_cast<std::size_t>(command.group);
        EXPECT_GT(at, groupStart[group]) << command.name;
        EXPECT_LT(at, groupStart[group + 1]) << command.name;
        const std::string line = help.out.substr(at + 1, help.out.find('\n', at + 1) - at - 1);
        EXPECT_FALSE(std::regex_search(line, std::regex("0x[0-9A-Fa-f]|\\b[0-9A-F]{2} [0-9A-F]{2}\\b")))
            << line;
    }
}

TEST_F(CliHelp, CommandLineMistakesSayWhatIsWrongAndWhereToLook)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{}, "pennafor-cli: no command given\nTry 'pennafor-cli --help'.\n"},
        {{"frobnicate"}, "pennafor-cli: unknown command 'frobnicate'\nTry 'pennafor-cli --help'.\n"},
        {{"--bogus", "test"}, "pennafor-cli: unknown option --bogus\nTry 'pennafor-cli --help'.\n"},
        {{"--serial"}, "pennafor-cli: --serial needs a value\nTry 'pennafor-cli --help'.\n"},
        {{"test", "extra"}, "pennafor-cli: test takes no arguments\nTry 'pennafor-cli test --help'.\n"},
        {{"list-usb", "extra"},
         "pennafor-cli: list-usb takes no arguments\nTry 'pennafor-cli list-usb --help'.\n"},
        {{"set-codepage"},
         "pennafor-cli: ITEM is missing\nTry 'pennafor-cli set-codepage --help'.\n"},
        {{"close-wifi", "now"},
         "pennafor-cli: unexpected argument 'now'\nTry 'pennafor-cli close-wifi --help'.\n"},
        {{"read-memory", "0"}, "pennafor-cli: LENGTH is missing\nTry 'pennafor-cli read-memory --help'.\n"},
        {{"boot-handshake", "--limit", "0"},
         "pennafor-cli: --limit must be from 1 to 3600\nTry 'pennafor-cli boot-handshake --help'.\n"},
        {{"--udp", "192.168.1.87", "boot-handshake"},
         "pennafor-cli: The printer's boot loader answers on the serial port only\n"
         "Try 'pennafor-cli boot-handshake --help'.\n"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> english{"--language", "en"};
        english.insert(english.end(), args.begin(), args.end());
        const pst::test::Outcome o = runCli(english);
        EXPECT_EQ(o.status, 2) << message;
        EXPECT_EQ(o.err, message);
        EXPECT_EQ(o.out, "");
    }
}

TEST_F(CliHelp, MistakesAreToldInTheChosenLanguageWithTheNearestCommands)
{
    // --language counts after the command as well as before it.
    pst::test::Outcome o = runCli({"close-wifi", "--now", "--language", "zh"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "pennafor-cli: 未知的选项 --now\n请运行 'pennafor-cli close-wifi --help' 查看用法。\n");
    o = runCli({"--language", "zh", "tset"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "pennafor-cli: 未知的命令 'tset'；您要用的是不是：test\n请运行 'pennafor-cli --help' 查看用法。\n");
    // A refusal worded below the command line is worded in the language too.
    o = runCli({"--language", "zh", "find", "--udp-range", "10.0.0.0/16"});
    EXPECT_EQ(
        o.err.rfind("pennafor-cli: --udp-range: '10.0.0.0/16' 含 65536 个地址；一次最多查找 1024 个", 0), 0u)
        << o.err;
    o = runCli({"--language", "en", "find", "--udp-range", "10.0.0.0/24:0"});
    EXPECT_EQ(
        o.err.rfind("pennafor-cli: --udp-range: '10.0.0.0/24:0': '0' is not a port number (1 to 65535)\n", 0),
        0u)
        << o.err;
    o = runCli({"--language", "en", "help", "set-wifi"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "pennafor-cli: unknown command 'set-wifi'; did you mean set-wifi-sta, set-wifi-ap?\n"
                     "Try 'pennafor-cli --help'.\n");
    EXPECT_EQ(runCli({"--language", "en", "frobnicate"}).err,
              "pennafor-cli: unknown command 'frobnicate'\nTry 'pennafor-cli --help'.\n");
}

TEST_F(CliHelp, HelpCommandVersionAndTheEndOfOptions)
{
    EXPECT_EQ(runCli({"help", "set-sleep"}).out, runCli({"set-sleep", "--help"}).out);
    EXPECT_EQ(runCli({"help"}).out, runCli({"--help"}).out);

    // Telling where the data folder is does not make it.
    const auto fresh = folder / "fresh";
    pst::test::Outcome o = runCli({"-V", "--data-dir", fresh.string()});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find(fresh.string()), std::string::npos) << o.out;
    EXPECT_FALSE(std::filesystem::exists(fresh));

    o = runCli({"set-codepage", "--list", "--language", "en"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("\n  51  CP874:Thai\n"), std::string::npos) << o.out;
    // After "--" even --list and --help are the command's words.
    o = runCli({"--language", "en", "set-codepage", "--", "--list"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err.rfind("pennafor-cli: ITEM: there is no item '--list'", 0), 0u) << o.err;
    o = runCli({"--language", "en", "close-wifi", "--", "--help"});
    EXPECT_EQ(o.err, "pennafor-cli: unexpected argument '--help'\nTry 'pennafor-cli close-wifi --help'.\n");
}

TEST_F(CliHelp, HelpIsInTheChosenLanguageWithNamesUntranslated)
{
    pst::test::Outcome o = runCli({"--language", "zh", "--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("用法：pennafor-cli [OPTIONS] COMMAND [ARGUMENTS]\n", 0), 0u) << o.out;
    for (const char* part : {"\n选项：\n  --serial PORT          串口", "\n连接：\n", "\n设置：\n",
                             "\n  set-codepage ITEM|--list     设置打印机的代码页\n", "\n退出状态：\n"})
        EXPECT_NE(o.out.find(part), std::string::npos) << part;
    EXPECT_EQ(o.out.find("Options:"), std::string::npos);

    o = runCli({"--language", "zh", "help", "set-codepage"});
    const std::string usage = "pennafor-cli [OPTIONS] set-codepage ITEM|--list\n\n";
    EXPECT_EQ(o.out.rfind("用法：" + usage + "设置打印机的代码页。\n\n参数：\n", 0), 0u) << o.out;
    EXPECT_NE(o.out.find("\n  --list  列出每个代码页"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\n打印机：会确认；"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\n示例：  pennafor-cli "), std::string::npos) << o.out;

    o = runCli({"--language", "en", "help", "set-codepage"});
    EXPECT_EQ(o.out.rfind("Usage: " + usage + "Set the printer's code page.\n", 0), 0u) << o.out;
    o = runCli({"--language", "zh", "-V"});
    EXPECT_NE(o.out.find("\n数据文件夹："), std::string::npos) << o.out;
    EXPECT_NE(runCli({"--language", "en", "-V"}).out.find("\nData folder: "), std::string::npos);
}

// The English file holds the built-in help; the Chinese one every piece too,
// with every option name of the English (they are typed, not read).
TEST(CliHelpTexts, BothLanguageFilesCarryEveryPiece)
{
    const std::string folder = PST_LANG_DIR;
    const pst::IniDocument english = pst::IniDocument::load(folder + "/English.lng");
    const pst::IniDocument chinese = pst::IniDocument::load(folder + "/Chinese.lng");
    const std::regex optionName("--[a-z][a-z-]*");
    const auto pieces = pst::cli::helpPieces();
    ASSERT_GT(pieces.size(), 100u);
    for (const auto& [key, builtIn] : pieces) {
        const std::string inEnglish =
            pst::cli::helpValueFromFile(english.readString(pst::cli::kHelpSection, key, "(missing)"));
        EXPECT_EQ(inEnglish, builtIn) << key;
        const std::string inChinese =
            pst::cli::helpValueFromFile(chinese.readString(pst::cli::kHelpSection, key, "(missing)"));
        EXPECT_NE(inChinese, "(missing)") << key;
        for (std::sregex_iterator it(builtIn.begin(), builtIn.end(), optionName), end; it != end; ++it)
            EXPECT_NE(inChinese.find(it->str()), std::string::npos) << key << ": " << it->str();
    }
}
