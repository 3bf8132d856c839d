#pragma once
// Runs pennafor-cli as a separate process, the way a user does, and collects
// its exit status and both output streams. Each test gets a folder of its own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pst::test {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Quotes one word for /bin/sh.
inline std::string shellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
            ("pst-cli-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // `environment` is put before the command as NAME=value words. The
    // locale variables that choose the texts' language are cleared first, so
    // that the caller's locale never decides; a test sets them when it means to.
    Outcome runCli(const std::vector<std::string>& args, const std::string& environment = {})
    {
        std::string command =
            "env -u LC_ALL -u LC_MESSAGES -u LANG " + environment + shellQuote(PST_CLI_PATH);
        for (const auto& a : args)
            command += " " + shellQuote(a);
        command += " >" + shellQuote((folder / "out").string()) + " 2>" +
            shellQuote((folder / "err").string()) + " </dev/null";
        const int raw = std::system(command.c_str());
        Outcome o;
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        o.out = readFile(folder / "out");
        o.err = readFile(folder / "err");
        return o;
    }

    std::filesystem::path folder;
};

}  // namespace pst::test
