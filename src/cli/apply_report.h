#pragma once
// The report of one apply: per printer its link, model, the link test's and
// each group's result with its text, and the time taken; written as JSON or
// CSV by the file's ending, and read back for --retry.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pst::cli {

// "ok": confirmed; "sent": sent, the printer never answers it; "failed":
// with its cause; "skipped": not tried (the link or an earlier group failed).
enum class GroupOutcome { Ok, Sent, Failed, Skipped };

const char* outcomeName(GroupOutcome outcome);
std::optional<GroupOutcome> parseOutcome(const std::string& name);

struct GroupResult {
    std::string group;
    GroupOutcome outcome = GroupOutcome::Skipped;
    std::string text;
};

struct PrinterTarget {
    std::string link;    // "serial", "udp" or "usb"
    std::string target;  // the port, HOST[:PORT] or the USB identifier, as given
    // The printer's place in the first apply: the product's serial number
    // steps by it, and a retry keeps it.
    std::size_t index = 0;
};

// The largest index a report may give back: the serial number steps once
// for each, and more printers than this are not applied to in one go.
inline constexpr std::size_t kLargestPrinterIndex = 99'999;

struct PrinterResult {
    PrinterTarget printer;
    std::string model;
    GroupResult linkTest{"link", GroupOutcome::Skipped, {}};
    std::vector<GroupResult> groups;
    double seconds = 0;

    bool succeeded() const;
};

struct ApplyReport {
    std::string profile;
    std::vector<PrinterResult> printers;

    bool succeeded() const;
    std::size_t succeededPrinters() const;
};

std::string reportAsJson(const ApplyReport& report);
std::string reportAsCsv(const ApplyReport& report);

// Written through a temporary file: ".csv" gives CSV, anything else JSON.
// Returns an empty string on success, otherwise the reason.
std::string writeReport(const ApplyReport& report, const std::string& path);

// What a report asks to be tried again: each printer whose link test or any
// group did not succeed, with those groups (every group of the printer when
// its link failed). Throws std::runtime_error naming what cannot be read.
struct RetryTarget {
    PrinterTarget printer;
    std::vector<std::string> groups;
};
std::vector<RetryTarget> readRetryTargets(const std::string& path);

}  // namespace pst::cli
