#include "cli/apply_report.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/atomic_file.h"
#include "platform/file_path.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

using json = nlohmann::ordered_json;

bool endsWithCsv(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string ending = path.substr(path.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending == ".csv";
}

bool succeededOutcome(GroupOutcome outcome)
{
    return outcome == GroupOutcome::Ok || outcome == GroupOutcome::Sent;
}

// One CSV field: quoted when it holds a separator, a quote or a line break.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// The records of a CSV text, each a list of fields (RFC 4180 quoting).
std::vector<std::vector<std::string>> parseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (any || !field.empty()) {
                row.push_back(std::move(field));
                rows.push_back(std::move(row));
            }
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(filePath(path), std::ios::binary);
    if (!in)
        throw std::runtime_error(MessageWithValues("sReportUnreadableMsg", {path}));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

// Adds `group` to the retry of `printer` (kept in report order).
void noteRetry(std::vector<RetryTarget>& targets, const PrinterTarget& printer, const std::string& group)
{
    auto it = std::find_if(targets.begin(), targets.end(), [&](const RetryTarget& t) {
        return t.printer.link == printer.link && t.printer.target == printer.target;
    });
    if (it == targets.end()) {
        targets.push_back({printer, {}});
        it = targets.end() - 1;
    }
    if (!group.empty() && std::find(it->groups.begin(), it->groups.end(), group) == it->groups.end())
        it->groups.push_back(group);
}

// A report's file may have been edited by hand: every value is checked for
// its kind and range before it is used, and the first that is wrong is
// named.
std::string jsonText(const json& object, const char* name, const std::string& where)
{
    const auto it = object.find(name);
    if (it == object.end())
        return {};
    if (!it->is_string())
        throw std::runtime_error(MessageWithValues("sReportNotTextMsg", {where, name}));
    return it->get<std::string>();
}

std::size_t jsonIndex(const json& printer, const std::string& where)
{
    const auto it = printer.find("index");
    if (it == printer.end())
        return 0;
    if (!it->is_number_integer() || it->get<std::int64_t>() < 0 ||
        it->get<std::int64_t>() > static_cast<std::int64_t>(kLargestPrinterIndex))
        throw std::runtime_error(MessageWithValues("sReportIndexMsg", {where, std::to_string(kLargestPrinterIndex)}));
    return static_cast<std::size_t>(it->get<std::int64_t>());
}

std::vector<RetryTarget> retryFromJsonOfAnyShape(const std::string& text, const std::string& path)
{
    const json report = json::parse(text, nullptr, false);
    if (report.is_discarded() || !report.is_object() || !report.contains("printers") ||
        !report["printers"].is_array())
        throw std::runtime_error(MessageWithValues("sNotAReportMsg", {path}));
    std::vector<RetryTarget> targets;
    std::size_t number = 0;
    for (const json& p : report["printers"]) {
        const std::string where = MessageWithValues("sReportPrinterMsg", {path, std::to_string(++number)});
        if (!p.is_object())
            throw std::runtime_error(MessageWithValues("sNotAReportMsg", {path}));
        PrinterTarget printer{jsonText(p, "link", where), jsonText(p, "target", where), jsonIndex(p, where)};
        if (printer.link.empty() || printer.target.empty())
            throw std::runtime_error(MessageWithValues("sReportNoLinkMsg", {path}));
        const auto groups = p.find("groups");
        if (groups == p.end())
            continue;
        if (!groups->is_array())
            throw std::runtime_error(MessageWithValues("sReportGroupsMsg", {where}));
        for (const json& g : *groups) {
            if (!g.is_object())
                throw std::runtime_error(MessageWithValues("sReportGroupObjectMsg", {where}));
            const auto outcome = parseOutcome(jsonText(g, "result", where));
            if (!outcome)
                throw std::runtime_error(MessageWithValues("sReportResultMsg", {path}));
            if (!succeededOutcome(*outcome))
                noteRetry(targets, printer, jsonText(g, "group", where));
        }
    }
    return targets;
}

// Digits only, at most the largest index: "-1" or "1e9" would step a
// serial number for ever.
std::optional<std::size_t> csvIndex(const std::string& field)
{
    const std::size_t digits = std::to_string(kLargestPrinterIndex).size();
    if (field.empty() || field.size() > digits ||
        !std::all_of(field.begin(), field.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return std::nullopt;
    const std::size_t index = static_cast<std::size_t>(std::stoul(field));
    if (index > kLargestPrinterIndex)
        return std::nullopt;
    return index;
}

// Whatever the checks above did not foresee in a file edited by hand (a
// field of another type than a report's) is a file that is no report,
// told as such.
std::vector<RetryTarget> retryFromJson(const std::string& text, const std::string& path)
{
    try {
        return retryFromJsonOfAnyShape(text, path);
    } catch (const json::exception&) {
        throw std::runtime_error(MessageWithValues("sNotAReportMsg", {path}));
    }
}

std::vector<RetryTarget> retryFromCsv(const std::string& text, const std::string& path)
{
    const auto rows = parseCsv(text);
    if (rows.empty() || rows.front().size() < 7 || rows.front()[0] != "index")
        throw std::runtime_error(MessageWithValues("sNotAReportMsg", {path}));
    std::vector<RetryTarget> targets;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto& row = rows[r];
        if (row.size() < 7)
            throw std::runtime_error(MessageWithValues("sReportShortLineMsg", {path, std::to_string(r + 1)}));
        const auto outcome = parseOutcome(row[5]);
        if (!outcome)
            throw std::runtime_error(
                MessageWithValues("sReportLineResultMsg", {path, std::to_string(r + 1), row[5]}));
        const auto index = csvIndex(row[0]);
        if (!index)
            throw std::runtime_error(MessageWithValues(
                "sReportLineIndexMsg", {path, std::to_string(r + 1), std::to_string(kLargestPrinterIndex)}));
        // The link test's own row names no group; its groups have rows.
        if (row[4] != "link" && !succeededOutcome(*outcome))
            noteRetry(targets, {row[1], row[2], *index}, row[4]);
    }
    return targets;
}

}  // namespace

const char* outcomeName(GroupOutcome outcome)
{
    switch (outcome) {
    case GroupOutcome::Ok:
        return "ok";
    case GroupOutcome::Sent:
        return "sent";
    case GroupOutcome::Failed:
        return "failed";
    case GroupOutcome::Skipped:
        break;
    }
    return "skipped";
}

std::optional<GroupOutcome> parseOutcome(const std::string& name)
{
    for (const GroupOutcome outcome : {GroupOutcome::Ok, GroupOutcome::Sent, GroupOutcome::Failed, GroupOutcome::Skipped})
        if (name == outcomeName(outcome))
            return outcome;
    return std::nullopt;
}

bool PrinterResult::succeeded() const
{
    return succeededOutcome(linkTest.outcome) &&
        std::all_of(groups.begin(), groups.end(), [](const GroupResult& g) { return succeededOutcome(g.outcome); });
}

bool ApplyReport::succeeded() const
{
    return succeededPrinters() == printers.size();
}

std::size_t ApplyReport::succeededPrinters() const
{
    return static_cast<std::size_t>(
        std::count_if(printers.begin(), printers.end(), [](const PrinterResult& p) { return p.succeeded(); }));
}

std::string reportAsJson(const ApplyReport& report)
{
    json printers = json::array();
    for (const PrinterResult& p : report.printers) {
        json groups = json::array();
        for (const GroupResult& g : p.groups)
            groups.push_back({{"group", g.group}, {"result", outcomeName(g.outcome)}, {"text", g.text}});
        printers.push_back({{"index", p.printer.index},
                            {"link", p.printer.link},
                            {"target", p.printer.target},
                            {"model", p.model},
                            {"ok", p.succeeded()},
                            {"link_test", {{"result", outcomeName(p.linkTest.outcome)}, {"text", p.linkTest.text}}},
                            {"groups", groups},
                            {"seconds", p.seconds}});
    }
    const json whole{{"profile", report.profile},
                     {"ok", report.succeeded()},
                     {"printers", printers},
                     {"succeeded", report.succeededPrinters()},
                     {"failed", report.printers.size() - report.succeededPrinters()}};
    // Replacement characters for bytes that are not UTF-8 (a printer's or a
    // file's odd text) rather than no report at all.
    return whole.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string reportAsCsv(const ApplyReport& report)
{
    std::string csv = "index,link,target,model,group,result,text,seconds\r\n";
    for (const PrinterResult& p : report.printers) {
        const std::string head = std::to_string(p.printer.index) + "," + csvField(p.printer.link) + "," +
            csvField(p.printer.target) + "," + csvField(p.model) + ",";
        csv += head + "link," + outcomeName(p.linkTest.outcome) + "," + csvField(p.linkTest.text) + "," +
            secondsText(p.seconds) + "\r\n";
        for (const GroupResult& g : p.groups)
            csv += head + csvField(g.group) + "," + outcomeName(g.outcome) + "," + csvField(g.text) + ",\r\n";
    }
    return csv;
}

std::string writeReport(const ApplyReport& report, const std::string& path)
{
    return writeFileAtomically(path, endsWithCsv(path) ? reportAsCsv(report) : reportAsJson(report));
}

std::vector<RetryTarget> readRetryTargets(const std::string& path)
{
    const std::string text = readWholeFile(path);
    return endsWithCsv(path) ? retryFromCsv(text, path) : retryFromJson(text, path);
}

}  // namespace pst::cli
