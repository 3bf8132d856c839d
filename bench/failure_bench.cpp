// How long pennafor-cli takes to give up on a serial printer that does not
// hear it, and whether it still names the speed of one that listens at
// another.
//
// A report, never a pass/fail test: a paced virtual printer (as slow as a
// real wire) that keeps silent, then one at 38400 bit/s, are sent
// `set-codepage` by pennafor-cli as a separate process, the way a user runs
// it. The silent printer is asked with a speed switch (device 9600,
// transfer 115200) and with equal speeds; the times go against the aims of
// 4 s and 2 s. Another build of the tool may be named as the first argument
// to compare with.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "virtual_printer.h"

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& word)
{
    std::string q = "'";
    for (const char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Run {
    double seconds = 0;
    std::string err;
};

Run runCommand(const std::string& cli, const fs::path& folder, const std::string& speeds)
{
    const fs::path err = folder / "err";
    const std::string command = "env -u LC_ALL -u LC_MESSAGES -u LANG " + quoted(cli) + " --data-dir " +
        quoted(folder.string()) + " --language en --serial " + quoted((folder / "printer").string()) + " " +
        speeds + " set-codepage CP850 >/dev/null 2>" + quoted(err.string()) + " </dev/null";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    Run run{std::chrono::duration<double>(Clock::now() - start).count(), {}};
    std::ifstream in(err);
    std::stringstream text;
    text << in.rdbuf();
    run.err = text.str();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 1)
        run.err += "(unexpected exit status)\n";
    return run;
}

Run timeAgainst(const std::string& cli, const fs::path& folder, pst::sim::SimOptions options,
                const std::string& speeds)
{
    options.ptyLink = (folder / "printer").string();
    options.pace = true;
    pst::sim::VirtualPrinter printer(std::move(options));
    printer.start();
    return runCommand(cli, folder, speeds);
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const std::string cli = argc > 1 ? argv[1] : PST_CLI_PATH;
        const fs::path folder = fs::temp_directory_path() / ("pst-bench-failure-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        const pst::sim::SimOptions silent{.fault = {.mode = pst::sim::FaultMode::Silent}};

        const Run switched = timeAgainst(cli, folder, silent, "--device-speed 9600 --transfer-speed 115200");
        std::printf("silent printer, speed switch 9600 -> 115200: %.2f s (aim: at most 4 s)\n", switched.seconds);
        const Run equal = timeAgainst(cli, folder, silent, "--device-speed 9600 --transfer-speed 9600");
        std::printf("silent printer, equal speeds 9600:          %.2f s (aim: at most 2 s)\n", equal.seconds);
        const Run other = timeAgainst(cli, folder, {.speed = 38400}, "--device-speed 9600 --transfer-speed 115200");
        const bool named = other.err.find("38400 bit/s") != std::string::npos;
        std::printf("printer at 38400, speed switch:             %.2f s, %s\n", other.seconds,
                    named ? "named" : "NOT named");
        fs::remove_all(folder);
        if (!named)
            std::fprintf(stderr, "%s", other.err.c_str());
        return named ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pst-bench-failure: %s\n", failure.what());
        return 1;
    }
}
