#pragma once
// Applying a profile's groups to printers: one printer after a link test,
// group by group in the parameter window's order, each printer with a
// worker of its own; several printers at once when asked, but never two on
// the same serial port or device at the same time.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/apply_report.h"
#include "cli/cli_options.h"
#include "requests/profile.h"

namespace pst::cli {

struct PrinterPlan {
    PrinterTarget printer;
    CliOptions link;  // the session's options, aimed at this printer
    std::vector<const requests::ProfileGroup*> groups;
};

struct ApplySettings {
    const requests::Profile* profile = nullptr;
    requests::ProfileLists lists;
    bool keepGoing = false;
    std::size_t jobs = 1;
};

// Applies every plan and returns one result per plan, in the plans' order.
// `finished` hears each printer's result as it ends (from the thread that
// ran it, one call at a time). After a request to stop (stop_requests.h)
// the runs going on stop, and every printer not yet done is reported as
// far as it got.
std::vector<PrinterResult> applyToPrinters(const std::vector<PrinterPlan>& plans, const ApplySettings& settings,
                                           const std::function<void(const PrinterResult&)>& finished = {});

// What cannot be sent to the plans' printers, one line per printer and
// group ("LINK TARGET: GROUP: why"): a value that is fine for the first
// printer may not be for a later one (its stepped serial number).
std::vector<std::string> planRefusals(const std::vector<PrinterPlan>& plans, const ApplySettings& settings);

// What a plan's printer would be sent, frame by frame, as hexadecimal lines
// "GROUP: 7E 00 …"; nothing is opened. Throws what the request builders
// throw for a value that cannot be sent.
std::vector<std::string> dryRunLines(const PrinterPlan& plan, const ApplySettings& settings);

}  // namespace pst::cli
