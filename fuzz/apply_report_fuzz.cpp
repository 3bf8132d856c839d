// The reports of pennafor-cli apply, read back for --retry: a file of any
// content, JSON or CSV, gives retry targets or is refused with a
// std::runtime_error naming it (what the command reports), never another
// failure; and a report written by the tool reads back as the printers and
// groups that did not succeed, in both forms alike.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/apply_report.h"
#include "fuzz_check.h"

namespace {

using namespace pst::cli;

// One folder for the run's files, made once and removed at the end; in
// memory where the system offers it, so that the files cost no disk. The
// name is new each time: a folder of that name is never taken over.
const std::string& folder()
{
    static const std::string made = [] {
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::random_device random;
        std::filesystem::path name;
        for (bool created = false; !created;) {
            name = base / ("pst-fuzz-report-" + std::to_string(random()));
            created = std::filesystem::create_directory(name);
        }
        static std::filesystem::path removed;
        removed = name;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removed, ignored);
        });
        return name.string();
    }();
    return made;
}

std::string written(const std::string& name, const std::string& text)
{
    const std::string path = folder() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

void readAny(const std::string& path)
{
    try {
        for (const RetryTarget& target : readRetryTargets(path))
            PST_FUZZ_CHECK(!target.printer.link.empty() && !target.printer.target.empty());
    } catch (const std::runtime_error&) {
    } catch (const std::exception& other) {
        std::fprintf(stderr, "%s: refused other than by a runtime_error: %s\n", path.c_str(), other.what());
        std::abort();
    }
}

// A report whose texts and outcomes come from the bytes.
ApplyReport reportFrom(const std::uint8_t* data, std::size_t size)
{
    ApplyReport report;
    report.profile = "profile.ini";
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
    auto text = [&](std::size_t most) {
        std::string t;
        for (std::size_t n = next() % (most + 1); n > 0 && at < size; --n)
            t += static_cast<char>(next());
        return t;
    };
    // Targets as typed on a command line: printable, commas and quotes too.
    auto typed = [&](std::size_t most) {
        std::string t = text(most);
        for (char& c : t)
            c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
        return t;
    };
    static const char* kLinks[] = {"serial", "udp", "usb"};
    for (std::size_t p = 0, printers = next() % 4; p < printers; ++p) {
        PrinterResult result;
        result.printer = {kLinks[next() % 3], "target" + std::to_string(p) + typed(6), p};
        result.model = text(8);
        result.linkTest = {"link", static_cast<GroupOutcome>(next() % 4), text(8)};
        for (std::size_t g = 0, groups = next() % 4; g < groups; ++g)
            result.groups.push_back({"group" + std::to_string(next() % 3), static_cast<GroupOutcome>(next() % 4),
                                     text(8)});
        result.seconds = next() / 8.0;
        report.printers.push_back(std::move(result));
    }
    return report;
}

bool sameTargets(const std::vector<RetryTarget>& a, const std::vector<RetryTarget>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].printer.link != b[i].printer.link || a[i].printer.target != b[i].printer.target ||
            a[i].printer.index != b[i].printer.index || a[i].groups != b[i].groups)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    // As one form or the other (both would make each run twice as slow).
    readAny(written(size % 2 == 0 ? "any.json" : "any.csv", text));

    const ApplyReport report = reportFrom(data, size);
    // Written as writeReport writes them, without its wait for the disk,
    // which would make each run slow.
    const std::string json = written("report.json", reportAsJson(report));
    const std::string csv = written("report.csv", reportAsCsv(report));
    const auto fromJson = readRetryTargets(json);
    PST_FUZZ_CHECK(sameTargets(fromJson, readRetryTargets(csv)));
    std::size_t failedPrinters = 0;
    for (const PrinterResult& printer : report.printers)
        failedPrinters += printer.succeeded() ? 0 : 1;
    PST_FUZZ_CHECK(fromJson.size() <= failedPrinters);
    return 0;
}
