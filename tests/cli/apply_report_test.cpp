// Reports read back for a retry: what did not succeed, in either format,
// whatever the texts hold; and reports that cannot be read are refused.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "cli/apply_report.h"

namespace pst::cli {
namespace {

ApplyReport sampleReport()
{
    ApplyReport report;
    report.profile = "shop.ini";
    PrinterResult good;
    good.printer = {"serial", "/dev/ttyUSB0", 0};
    good.model = "PNF80";
    good.linkTest = {"link", GroupOutcome::Ok, "PNF80"};
    good.groups = {{"codepage", GroupOutcome::Ok, "Code page set"}, {"usbtype", GroupOutcome::Sent, "sent"}};
    PrinterResult partly;
    partly.printer = {"udp", "192.168.1.9:5100", 1};
    partly.linkTest = {"link", GroupOutcome::Ok, "PNF58"};
    partly.groups = {{"codepage", GroupOutcome::Ok, "Code page set"},
                     {"sleep", GroupOutcome::Failed, "Failed, \"really\"\nwith a second line"},
                     {"recycletime", GroupOutcome::Skipped, ""}};
    PrinterResult silent;
    silent.printer = {"serial", "/dev/ttyS1, the left one", 2};
    silent.linkTest = {"link", GroupOutcome::Failed, "Connecting Failed"};
    silent.groups = {{"codepage", GroupOutcome::Skipped, ""}, {"sleep", GroupOutcome::Skipped, ""}};
    report.printers = {good, partly, silent};
    return report;
}

class ApplyReportTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::string& text = {})
    {
        const auto path = std::filesystem::temp_directory_path() / ("pst-report-" + std::to_string(::getpid()) + name);
        paths.push_back(path);
        if (!text.empty())
            std::ofstream(path) << text;
        return path.string();
    }
    void TearDown() override
    {
        for (const auto& path : paths)
            std::filesystem::remove(path);
    }
    std::vector<std::filesystem::path> paths;
};

TEST_F(ApplyReportTest, ARetryTakesWhatDidNotSucceedFromEitherFormat)
{
    const ApplyReport report = sampleReport();
    EXPECT_FALSE(report.succeeded());
    EXPECT_EQ(report.succeededPrinters(), 1u);
    for (const char* name : {".json", ".csv", ".CSV"}) {
        const std::string path = file(name);
        ASSERT_EQ(writeReport(report, path), "");
        const std::vector<RetryTarget> retry = readRetryTargets(path);
        ASSERT_EQ(retry.size(), 2u) << name;
        EXPECT_EQ(retry[0].printer.link, "udp");
        EXPECT_EQ(retry[0].printer.target, "192.168.1.9:5100");
        EXPECT_EQ(retry[0].printer.index, 1u);
        EXPECT_EQ(retry[0].groups, (std::vector<std::string>{"sleep", "recycletime"})) << name;
        EXPECT_EQ(retry[1].printer.target, "/dev/ttyS1, the left one") << name;
        EXPECT_EQ(retry[1].printer.index, 2u);
        EXPECT_EQ(retry[1].groups, (std::vector<std::string>{"codepage", "sleep"})) << name;
    }
    EXPECT_NE(reportAsCsv(report).find("\"Failed, \"\"really\"\"\nwith a second line\""), std::string::npos);
}

TEST_F(ApplyReportTest, AFileThatIsNoReportIsRefusedWithItsName)
{
    const std::string missing = file("-missing.json");
    EXPECT_THROW(readRetryTargets(missing), std::runtime_error);
    for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
             {".json", "{\"printers\": 3}"},
             {"b.json", "not json at all"},
             {"c.json", "{\"printers\": [{\"link\": \"serial\", \"target\": \"x\", "
                        "\"groups\": [{\"group\": \"sleep\", \"result\": \"maybe\"}]}]}"},
             {".csv", "a,b,c\n1,2,3\n"},
             {"b.csv", "index,link,target,model,group,result,text,seconds\nx,serial,p,,sleep,failed,,\n"},
             // Edited by hand: a number where a text belongs, a list that is
             // none, an index that would step a serial number for ever.
             {"d.json", "{\"printers\": [{\"link\": \"serial\", \"target\": 5, \"groups\": []}]}"},
             {"e.json", "{\"printers\": [{\"link\": \"serial\", \"target\": \"x\", "
                        "\"groups\": [{\"group\": 3, \"result\": \"failed\"}]}]}"},
             {"f.json", "{\"printers\": [{\"link\": \"serial\", \"target\": \"x\", \"groups\": {}}]}"},
             {"g.json", "{\"printers\": [{\"index\": -1, \"link\": \"serial\", \"target\": \"x\"}]}"},
             {"h.json", "{\"printers\": [{\"index\": \"2\", \"link\": \"serial\", \"target\": \"x\"}]}"},
             {"c.csv", "index,link,target,model,group,result,text,seconds\n-1,serial,p,,sleep,failed,,\n"},
             {"d.csv", "index,link,target,model,group,result,text,seconds\n100000,serial,p,,sleep,failed,,\n"}}) {
        const std::string path = file(name, text);
        try {
            readRetryTargets(path);
            ADD_FAILURE() << name << " was read";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace pst::cli
