// How well `pennafor-cli apply --jobs 8` spreads twenty network printers.
//
// A report, never a pass/fail test: twenty virtual printers answer on UDP
// ports of 127.0.0.1, and the shop profile (code page, switches, sleep
// times, recycling time) is applied to one of them, then to all twenty with
// eight jobs, the way the command does it. The ratio of the two wall times
// is printed: twenty printers in waves of eight would take three waves' time.
// Each virtual printer answers 20 ms late, as a printer storing a setting
// does; without that, loopback exchanges take microseconds and the ratio
// would only measure how many cores the machine has.

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

#include "cli/apply_runner.h"
#include "platform/program_folder.h"
#include "virtual_printer.h"

using namespace pst;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPrinterMs = 20;

constexpr const char* kProfile = "[ParaDefault]\n"
                                 "CodePage=CP850:Latin1;Western European\n"
                                 "Dark=Dark\nFontValue=9x24\nCutPaper=1\nbuzzer=0\nForcePaper=0X0A\n"
                                 "sleepTime=300\npoweroffTime=3600\nRptTime=90\n";

double secondsToApply(const std::vector<cli::PrinterPlan>& plans, const cli::ApplySettings& settings)
{
    const auto start = Clock::now();
    const auto results = cli::applyToPrinters(plans, settings);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (const auto& result : results)
        if (!result.succeeded())
            for (const auto& group : result.groups)
                if (group.outcome == cli::GroupOutcome::Failed || group.outcome == cli::GroupOutcome::Skipped)
                    throw std::runtime_error(result.printer.target + " " + group.group + ": " + group.text);
    return seconds;
}

}  // namespace

int main()
{
    try {
        std::vector<std::unique_ptr<sim::VirtualPrinter>> printers;
        std::vector<cli::PrinterPlan> plans;
        const requests::Profile profile = requests::Profile::read(IniDocument::parse(kProfile));
        std::vector<const requests::ProfileGroup*> groups;
        for (const requests::ProfileGroup& group : requests::ProfileGroups())
            if (profile.holds(group))
                groups.push_back(&group);
        for (std::size_t i = 0; i < 20; ++i) {
            printers.push_back(
                std::make_unique<sim::VirtualPrinter>(sim::SimOptions{.fault = {.mode = sim::FaultMode::Late, .lateMs = kPrinterMs},
                                .servePty = false,
                                .udpAddress = "127.0.0.1:0"}));
            printers.back()->start();
            cli::CliOptions link;
            link.link = LinkKind::Network;
            link.udpHost = "127.0.0.1";
            link.udpPort = static_cast<int>(printers.back()->udpPort());
            plans.push_back({{"udp", "127.0.0.1:" + std::to_string(link.udpPort), i}, link, groups});
        }
        cli::ApplySettings settings;
        settings.profile = &profile;
        settings.jobs = 8;
        settings.lists = {dataSearchFolders(resolveProgramFolder())};

        // The first run pays for what every later one finds ready.
        secondsToApply({plans.front()}, settings);
        const double one = secondsToApply({plans.front()}, settings);
        const double all = secondsToApply(plans, settings);
        std::printf("apply, %zu groups: one printer %.3f s, twenty printers with 8 jobs %.3f s\n", groups.size(),
                    one, all);
        std::printf("twenty printers / one printer: %.2f (three waves of eight: 3)\n", all / one);
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pst-bench-apply: %s\n", failure.what());
        return 1;
    }
}
