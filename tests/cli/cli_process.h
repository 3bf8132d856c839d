#pragma once
// Runs pennafor-cli as a separate process, the way a user does, and collects
// its exit status and both output streams. Each test gets a folder of its own.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

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

    // Starts pennafor-cli without waiting for it, for a test that signals
    // it midway; finishCli collects it. The locale is cleared as in runCli.
    // `environment` holds NAME=value entries that replace or add to the
    // test's own.
    pid_t startCli(const std::vector<std::string>& args, std::vector<std::string> environment = {})
    {
        std::vector<std::string> words{PST_CLI_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        const auto replaced = [&](const char* variable) {
            for (const std::string& entry : environment)
                if (std::strncmp(variable, entry.c_str(), entry.find('=') + 1) == 0)
                    return true;
            return false;
        };
        std::vector<char*> envp;
        for (char** variable = environ; *variable; ++variable)
            if (std::strncmp(*variable, "LC_ALL=", 7) != 0 && std::strncmp(*variable, "LC_MESSAGES=", 12) != 0 &&
                std::strncmp(*variable, "LANG=", 5) != 0 && !replaced(*variable))
                envp.push_back(*variable);
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string out = (folder / "out").string(), err = (folder / "err").string();
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        const int failed = ::posix_spawn(&pid, PST_CLI_PATH, &files, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&files);
        EXPECT_EQ(failed, 0);
        return pid;
    }

    // Waits for a process of startCli; one that outlives `limit` is killed
    // and fails the test.
    Outcome finishCli(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        Outcome o;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int raw = 0;
        while (::waitpid(pid, &raw, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &raw, 0);
                ADD_FAILURE() << "pennafor-cli did not end";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        o.out = readFile(folder / "out");
        o.err = readFile(folder / "err");
        return o;
    }

    std::filesystem::path folder;
};

}  // namespace pst::test
