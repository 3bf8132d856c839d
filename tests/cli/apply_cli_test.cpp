// One profile applied to several virtual printers as a technician would:
// separate processes, two serial printers and a network one, a printer that
// falls silent, a retry from the report, a dry run, the JSON results.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <chrono>
#include <csignal>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "cli/apply_report.h"

#include "cli/cli_process.h"
#include "virtual_printer.h"

namespace {

using nlohmann::json;
using pst::sim::PrinterState;
using pst::sim::VirtualPrinter;

constexpr const char* kShopProfile = "[ParaDefault]\n"
                                     "CodePage=CP850:Latin1;Western European\n"
                                     "Dark=Dark\n"
                                     "FontValue=9x24\n"
                                     "CutPaper=1\n"
                                     "buzzer=0\n"
                                     "ForcePaper=0X0A\n"
                                     "sleepTime=300\n"
                                     "poweroffTime=3600\n";

class ApplyCli : public pst::test::CliProcessTest {
protected:
    void SetUp() override
    {
        CliProcessTest::SetUp();
        first = start({.ptyLink = (folder / "first").string()});
        second = start({.ptyLink = (folder / "second").string()});
        network = start({.servePty = false, .udpAddress = "127.0.0.1:0"});
        writeProfile(kShopProfile);
    }

    void TearDown() override
    {
        first.reset();
        second.reset();
        network.reset();
        CliProcessTest::TearDown();
    }

    static std::unique_ptr<VirtualPrinter> start(pst::sim::SimOptions options)
    {
        auto printer = std::make_unique<VirtualPrinter>(std::move(options));
        printer->start();
        return printer;
    }

    void writeProfile(const std::string& text) { std::ofstream(folder / "shop.ini") << text; }

    std::string path(const char* name) const { return (folder / name).string(); }
    std::string udpTarget() const { return "127.0.0.1:" + std::to_string(network->udpPort()); }

    pst::test::Outcome cli(std::vector<std::string> args, const char* language = "en")
    {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--language", language});
        return runCli(args);
    }

    pst::test::Outcome applyToAll(std::vector<std::string> extra)
    {
        std::vector<std::string> args{"apply", path("shop.ini"), "--jobs", "3", "--serial", path("first"),
                                      "--serial", path("second"), "--udp", udpTarget()};
        args.insert(args.end(), extra.begin(), extra.end());
        return cli(args);
    }

    static bool holdsTheShopProfile(const VirtualPrinter& printer)
    {
        return printer.waitFor(
            [](const PrinterState& s) {
                return s.settings.codePage == 2 && s.settings.sleepSeconds == 300 &&
                    s.settings.powerOffSeconds == 3600;
            },
            3000);
    }

    std::unique_ptr<VirtualPrinter> first;
    std::unique_ptr<VirtualPrinter> second;
    std::unique_ptr<VirtualPrinter> network;
};

// The frames a serial printer received that are not the identify request.
std::vector<pst::sim::ReceivedFrame> settingFrames(const VirtualPrinter& printer)
{
    std::vector<pst::sim::ReceivedFrame> frames;
    for (const auto& frame : printer.frames())
        if (frame.command != 0x30)
            frames.push_back(frame);
    return frames;
}

// The serial number a printer was given, once it has one.
std::string serialOf(const VirtualPrinter& printer)
{
    std::string serial;
    printer.waitFor(
        [&](const PrinterState& s) {
            serial = s.settings.productSerial;
            return !serial.empty();
        },
        3000);
    return serial;
}

}  // namespace

TEST_F(ApplyCli, ThreePrintersTakeTheProfileAndARetryReachesOnlyTheOneThatFailed)
{
    pst::test::Outcome o = applyToAll({"--report", path("first.json")});
    ASSERT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_NE(o.out.find("3 printer(s): 3 succeeded, 0 failed"), std::string::npos) << o.out;
    for (const VirtualPrinter* printer : {first.get(), second.get(), network.get()})
        EXPECT_TRUE(holdsTheShopProfile(*printer));
    const json report = json::parse(pst::test::readFile(folder / "first.json"));
    EXPECT_TRUE(report["ok"].get<bool>());
    ASSERT_EQ(report["printers"].size(), 3u);
    EXPECT_EQ(report["printers"][2]["link"], "udp");
    EXPECT_EQ(report["printers"][2]["model"], "PNF80");
    EXPECT_EQ(report["printers"][2]["groups"][0]["group"], "codepage");
    EXPECT_EQ(report["printers"][2]["groups"][0]["result"], "ok");

    second->setFault({.mode = pst::sim::FaultMode::Silent});
    writeProfile(std::string(kShopProfile) + "RptTime=90\n");
    o = applyToAll({"--report", path("second.csv")});
    EXPECT_EQ(o.status, 1) << o.out << o.err;
    EXPECT_NE(o.out.find("3 printer(s): 2 succeeded, 1 failed"), std::string::npos) << o.out;
    const std::string csv = pst::test::readFile(folder / "second.csv");
    EXPECT_NE(csv.find("1,serial," + path("second") + ",,link,failed,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("1,serial," + path("second") + ",,recycletime,skipped,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("0,serial," + path("first") + ",PNF80,recycletime,ok,"), std::string::npos) << csv;

    second->setFault({});
    const std::size_t firstFrames = first->frames().size();
    const std::size_t networkFrames = network->frames().size();
    o = cli({"apply", path("shop.ini"), "--retry", path("second.csv")});
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_NE(o.out.find("1 printer(s): 1 succeeded, 0 failed"), std::string::npos) << o.out;
    EXPECT_TRUE(second->waitFor([](const PrinterState& s) { return s.settings.recyclingSeconds == 90; }, 3000));
    EXPECT_EQ(first->frames().size(), firstFrames);
    EXPECT_EQ(network->frames().size(), networkFrames);
}

TEST_F(ApplyCli, DryRunSendsNothingAndItsBytesAreWhatApplySends)
{
    pst::test::Outcome o = cli({"apply", path("shop.ini"), "--dry-run", "--serial", path("first")});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(first->frames().empty());

    // "GROUP: 02 00 80 00 ..." lines back into frames.
    std::vector<pst::sim::ReceivedFrame> planned;
    std::istringstream lines(o.out);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(": ");
        if (colon == std::string::npos)
            continue;
        std::istringstream hex(line.substr(colon + 2));
        std::vector<std::uint8_t> bytes;
        for (unsigned byte; hex >> std::hex >> byte;)
            bytes.push_back(static_cast<std::uint8_t>(byte));
        ASSERT_GE(bytes.size(), 16u) << line;
        const auto word = [&](std::size_t at) {
            return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
        };
        const std::size_t length = bytes[12] | bytes[13] << 8;
        planned.push_back({static_cast<std::uint16_t>(bytes[2] | bytes[3] << 8), word(4), word(8),
                           std::vector<std::uint8_t>(bytes.begin() + 16, bytes.begin() + 16 + static_cast<long>(length))});
    }
    ASSERT_EQ(planned.size(), 3u) << o.out;

    // Both speeds alike: no speed switch among the frames.
    o = cli({"--device-speed", "9600", "--transfer-speed", "9600", "apply", path("shop.ini"), "--serial", path("first")});
    ASSERT_EQ(o.status, 0) << o.out << o.err;
    const auto received = settingFrames(*first);
    ASSERT_EQ(received.size(), planned.size());
    for (std::size_t i = 0; i < planned.size(); ++i) {
        EXPECT_EQ(received[i].command, planned[i].command) << i;
        EXPECT_EQ(received[i].arg1, planned[i].arg1) << i;
        EXPECT_EQ(received[i].arg2, planned[i].arg2) << i;
        EXPECT_EQ(received[i].payload, planned[i].payload) << i;
    }
}

TEST_F(ApplyCli, AProfileWrittenInEnglishAppliesWithChineseTexts)
{
    // As the window exports it in English: every list as its English item.
    writeProfile("[ParaDefault]\nFlowcontrol=Software flow control\nPaperType=Thermal receipt paper\n"
                 "PrinterOrder=Reverse order\nUsbDeviceTpe=USB virtual serial port\n");
    const pst::test::Outcome o = cli({"apply", path("shop.ini"), "--serial", path("first")}, "zh");
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_NE(o.out.find("1 台打印机：1 台成功，0 台失败"), std::string::npos) << o.out;
    EXPECT_TRUE(first->waitFor(
        [](const PrinterState& s) {
            return s.settings.flowControl == 0 && s.settings.paperType == 0 && s.settings.printOrder == 0xF1 &&
                s.settings.usbType == 0;
        },
        3000));
}

TEST_F(ApplyCli, InvalidProfilesSendNothingAndJsonIsOneObject)
{
    std::string profile = kShopProfile;
    profile.replace(profile.find("sleepTime=300"), 13, "sleepTime=0");
    writeProfile(profile + "Shade=grey\n");
    pst::test::Outcome o = cli({"profile", "show", path("shop.ini")});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.out.find("sleepTime: enter a whole number from 1 to 999999999"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("unknown key: Shade"), std::string::npos) << o.out;
    o = cli({"apply", path("shop.ini"), "--serial", path("first")});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(first->frames().empty());

    o = cli({"--json", "--serial", path("first"), "test"});
    EXPECT_EQ(o.status, 0) << o.err;
    const json result = json::parse(o.out);
    EXPECT_EQ(result["command"], "test");
    EXPECT_EQ(result["model"], "PNF80");
    EXPECT_TRUE(result["ok"].get<bool>());
    EXPECT_EQ(result["exit_status"], 0);
    EXPECT_FALSE(result["status_texts"].empty());

    second->setFault({.mode = pst::sim::FaultMode::Silent});
    o = cli({"--json", "--serial", path("second"), "set-codepage", "CP437:USA/Standard Europe"});
    EXPECT_EQ(o.status, 1);
    const json failed = json::parse(o.out);
    EXPECT_FALSE(failed["ok"].get<bool>());
    EXPECT_FALSE(failed["error"]["text"].get<std::string>().empty());
}

namespace {

// Files edited by hand are checked whole before any printer is contacted.
TEST_F(ApplyCli, BadReportsAndSerialNumbersAreRefusedBeforeAnyPrinterIsContacted)
{
    const std::string failedSleep = "\"groups\": [{\"group\": \"sleep\", \"result\": \"failed\"}]";
    std::ofstream(folder / "text.json") << "{\"printers\": [{\"link\": \"serial\", \"target\": 7, " << failedSleep
                                        << "}]}";
    std::ofstream(folder / "minus.json") << "{\"printers\": [{\"index\": -1, \"link\": \"serial\", \"target\": \""
                                         << path("first") << "\", " << failedSleep << "}]}";
    std::ofstream(folder / "minus.csv") << "index,link,target,model,group,result,text,seconds\r\n-1,serial,"
                                        << path("first") << ",,sleep,failed,,\r\n";
    for (const char* report : {"text.json", "minus.json", "minus.csv"}) {
        const pst::test::Outcome o = cli({"apply", path("shop.ini"), "--retry", path(report)});
        EXPECT_EQ(o.status, 2) << report << o.err;
        EXPECT_NE(o.err.find(path(report)), std::string::npos) << o.err;
    }

    // The serial number steps once for each printer: one that is no number
    // is refused, and so is one that is fine for the first printer but
    // cannot be counted on from for the second.
    const auto applySerial = [&](const std::string& serial) {
        writeProfile(std::string(kShopProfile) + "DeviceName=Shop\nDeviceSerialNo=" + serial + "\n");
        return cli({"apply", path("shop.ini"), "--groups", "product", "--serial", path("first"), "--serial",
                    path("second")});
    };
    pst::test::Outcome o = applySerial("12x");
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("DeviceSerialNo"), std::string::npos) << o.err;
    o = applySerial("99999999999999999999");
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("serial " + path("second") + ": product: "), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("serial " + path("first")), std::string::npos) << o.err;
    EXPECT_TRUE(first->frames().empty());
    EXPECT_TRUE(second->frames().empty());
}

}  // namespace
TEST_F(ApplyCli, TwoAppliesAtOnceNeverGiveTwoPrintersTheSameSerialNumber)
{
    const auto third = start({.ptyLink = path("third")});
    const auto fourth = start({.ptyLink = path("fourth")});
    const auto other = start({.servePty = false, .udpAddress = "127.0.0.1:0"});
    writeProfile("[ParaDefault]\nDeviceName=P80\nDeviceSerialNo=100\n");

    // Two technicians' processes, started together; each output a file of
    // its own.
    const auto apply = [&](const std::vector<std::string>& printers, const std::string& name) {
        std::string command = "env -u LC_ALL -u LC_MESSAGES -u LANG " + pst::test::shellQuote(PST_CLI_PATH) +
            " --data-dir " + pst::test::shellQuote(folder.string()) + " --language en apply " +
            pst::test::shellQuote(path("shop.ini")) + " --groups product --save-serial --jobs 3";
        for (const std::string& word : printers)
            command += " " + pst::test::shellQuote(word);
        command += " >" + pst::test::shellQuote(path(name.c_str())) + " 2>&1 </dev/null";
        return std::system(command.c_str());
    };
    int firstStatus = -1;
    std::thread one([&] {
        firstStatus =
            apply({"--serial", path("first"), "--serial", path("second"), "--udp", udpTarget()}, "one");
    });
    const int secondStatus = apply({"--serial", path("third"), "--serial", path("fourth"), "--udp",
                                    "127.0.0.1:" + std::to_string(other->udpPort())},
                                   "two");
    one.join();
    ASSERT_EQ(firstStatus, 0) << pst::test::readFile(folder / "one");
    ASSERT_EQ(secondStatus, 0) << pst::test::readFile(folder / "two");

    std::set<std::string> serials;
    for (const VirtualPrinter* printer :
         {first.get(), second.get(), network.get(), third.get(), fourth.get(), other.get()})
        serials.insert(serialOf(*printer));
    EXPECT_EQ(serials, (std::set<std::string>{"100", "101", "102", "103", "104", "105"}));
    EXPECT_NE(pst::test::readFile(folder / "shop.ini").find("DeviceSerialNo=106"), std::string::npos)
        << pst::test::readFile(folder / "shop.ini");
}

TEST_F(ApplyCli, ARunKilledHalfWayLeavesAReportThatRetriesTheRest)
{
    second->setFault({.mode = pst::sim::FaultMode::Silent});
    const std::string report = path("report.json");
    std::vector<std::string> words{PST_CLI_PATH, "--data-dir", folder.string(), "--language", "en", "apply"};
    for (const std::string& word : {path("shop.ini"), std::string("--jobs"), std::string("1"),
                                    std::string("--report"), report, std::string("--serial"), path("first"),
                                    std::string("--serial"), path("second")})
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::freopen("/dev/null", "w", stdout) == nullptr)
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    // The first printer is done while the silent one is still tried.
    const auto firstDone = [&] {
        const std::string text = pst::test::readFile(report);
        return !text.empty() && json::parse(text)["printers"][0]["ok"].get<bool>();
    };
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!firstDone() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it was killed";

    const json left = json::parse(pst::test::readFile(report));
    EXPECT_FALSE(left["ok"].get<bool>());
    EXPECT_EQ(left["printers"][1]["link_test"]["result"], "skipped");
    const auto retry = pst::cli::readRetryTargets(report);
    ASSERT_EQ(retry.size(), 1u);
    EXPECT_EQ(retry[0].printer.target, path("second"));
}
