// The transfer log of three everyday commands, byte for byte apart from the
// times and the port's name: what the printer received and answered must
// not change when the program is rearranged inside. The expected logs were
// recorded from the program as it is and live in golden/.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "cli/cli_process.h"
#include "virtual_printer.h"

namespace {

class TransferLogGolden : public pst::test::CliProcessTest {
protected:
    void SetUp() override
    {
        CliProcessTest::SetUp();
        pst::sim::SimOptions options;
        options.ptyLink = port();
        printer = std::make_unique<pst::sim::VirtualPrinter>(options);
        printer->start();
    }

    std::string port() const { return (folder / "printer").string(); }

    // Runs the command and returns its "debug.log" with every time stamp
    // and the port's path replaced by fixed words.
    std::string maskedLog(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--serial", port()});
        const auto outcome = runCli(args);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        std::string log = pst::test::readFile(folder / "debug.log");
        for (std::size_t at; (at = log.find(port())) != std::string::npos;)
            log.replace(at, port().size(), "PORT");
        static const std::regex stamp(R"(\d\d-\d\d-\d\d \d\d:\d\d:\d\d \d+ )");
        return std::regex_replace(log, stamp, "TIME ");
    }

    // With PST_RECORD_GOLDEN set the log is written as the new expectation
    // instead: only after a deliberate change of what goes over the wire.
    static void expectGolden(const std::string& log, const std::string& name)
    {
        const auto path = std::filesystem::path(PST_GOLDEN_DIR) / name;
        if (std::getenv("PST_RECORD_GOLDEN")) {
            std::ofstream(path, std::ios::binary) << log;
            return;
        }
        EXPECT_EQ(log, pst::test::readFile(path));
    }

    std::unique_ptr<pst::sim::VirtualPrinter> printer;
};

TEST_F(TransferLogGolden, LinkTest)
{
    expectGolden(maskedLog({"test"}), "link-test.log");
}

TEST_F(TransferLogGolden, CodePageSet)
{
    expectGolden(maskedLog({"set-codepage", "CP850"}), "set-codepage.log");
}

TEST_F(TransferLogGolden, FontDownload)
{
    // 600 bytes of a fixed pseudo-random pattern: three blocks, the last
    // one short.
    std::vector<char> font(600);
    std::uint32_t state = 7;
    for (char& byte : font) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    const auto path = folder / "font.bin";
    std::ofstream(path, std::ios::binary).write(font.data(), static_cast<std::streamsize>(font.size()));
    expectGolden(maskedLog({"download-font", path.string(), "10000"}), "download-font.log");
}

}  // namespace
