#include "cli/profile_commands.h"

#include <algorithm>
#include <ostream>

#include "cli/apply_report.h"
#include "cli/apply_runner.h"
#include "cli/argument_parsing.h"
#include "cli/command_help.h"
#include "cli/json_attach.h"
#include "cli/run_record.h"
#include "cli/terminal_text.h"
#include "engine/link_kinds.h"
#include "platform/file_bytes.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "requests/para_record.h"
#include "requests/profile.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

using requests::Profile;
using requests::ProfileGroup;

std::string allGroupNames()
{
    std::string names;
    for (const ProfileGroup& group : requests::ProfileGroups())
        names += (names.empty() ? "" : ", ") + std::string(group.name);
    return names;
}

requests::ProfileLists listsFor(const CliOptions& options)
{
    return {dataSearchFolders(resolveProgramFolder(options.dataDir))};
}

// The profile at `path`, or nothing after telling why on `err`.
std::optional<Profile> loadProfile(const std::string& path, std::ostream& err)
{
    if (!isRegularFile(path)) {
        err << path << ": " << MessageText("sMsg24") << '\n';
        return std::nullopt;
    }
    return Profile::read(IniDocument::load(path));
}

std::string groupValues(const ProfileGroup& group, const Profile& profile)
{
    std::string text;
    for (const std::string_view key : group.keys)
        if (profile.has(key))
            text += (text.empty() ? "" : ", ") + std::string(key) + "=" + profile.get(key);
    return text;
}

nlohmann::ordered_json profileAsJson(const std::vector<requests::GroupCheck>& checks, const Profile& profile)
{
    nlohmann::ordered_json groups = nlohmann::ordered_json::array();
    for (const requests::GroupCheck& check : checks) {
        nlohmann::ordered_json values = nlohmann::ordered_json::object();
        for (const std::string_view key : check.group->keys)
            if (profile.has(key))
                values[std::string(key)] = profile.get(key);
        groups.push_back({{"name", std::string(check.group->name)},
                          {"values", values},
                          {"empty", check.empty},
                          {"only_when_named", check.present && !check.empty &&
                                                  requests::GroupMustBeNamed(*check.group, profile)},
                          {"missing_keys", check.missingKeys},
                          {"invalid", check.error.empty() ? nlohmann::ordered_json(nullptr)
                                                          : nlohmann::ordered_json(check.error)}});
    }
    return {{"groups", groups}, {"unknown_keys", profile.unknownKeys()}};
}

struct ApplyArguments {
    std::string profilePath;
    std::optional<std::string> groups;
    bool dryRun = false;
    std::optional<std::string> reportPath;
    std::size_t jobs = 1;
    bool keepGoing = false;
    std::optional<std::string> retryPath;
    bool saveSerial = false;
    std::vector<std::string> serialPorts;
    std::vector<std::string> udpTargets;
    std::vector<std::string> usbDevices;
};

ApplyArguments parseApply(const std::vector<std::string>& arguments)
{
    ApplyArguments a;
    Arguments args(arguments);
    a.groups = args.option("groups");
    a.dryRun = args.flag("dry-run");
    a.reportPath = args.option("report");
    if (const auto jobs = args.option("jobs"))
        a.jobs = static_cast<std::size_t>(parseNumberInRange(*jobs, "--jobs", 1, 64));
    a.keepGoing = args.flag("keep-going");
    a.retryPath = args.option("retry");
    a.saveSerial = args.flag("save-serial");
    a.serialPorts = args.everyOption("serial");
    a.udpTargets = args.everyOption("udp");
    a.usbDevices = args.everyOption("usb");
    a.profilePath = args.positional("FILE");
    args.finish();
    if (a.retryPath && !(a.serialPorts.empty() && a.udpTargets.empty() && a.usbDevices.empty()))
        throw UsageError(MessageText("sRetryNoLinksMsg"));
    if (!a.retryPath && a.serialPorts.empty() && a.udpTargets.empty() && a.usbDevices.empty())
        throw UsageError(MessageText("sNamePrintersMsg"));
    return a;
}

// The groups asked for, in the window's order: those named, or every group
// the profile holds that may be applied without being named.
std::vector<const ProfileGroup*> chosenGroups(const ApplyArguments& a, const Profile& profile)
{
    std::vector<const ProfileGroup*> chosen;
    if (!a.groups) {
        for (const ProfileGroup& group : requests::ProfileGroups())
            // A retry takes the groups from the report, named ones too.
            if (profile.holds(group) && !requests::GroupIsEmpty(group, profile) &&
                (a.retryPath || !requests::GroupMustBeNamed(group, profile)))
                chosen.push_back(&group);
        return chosen;
    }
    std::vector<std::string> names;
    std::string name;
    for (const char c : *a.groups + ",") {
        if (c != ',') {
            name += c;
            continue;
        }
        if (!name.empty())
            names.push_back(name);
        name.clear();
    }
    for (const std::string& named : names)
        if (!requests::FindProfileGroup(named))
            throw UsageError(MessageWithValues("sNoSuchGroupMsg", {"--groups", named, allGroupNames()}));
    for (const ProfileGroup& group : requests::ProfileGroups())
        if (std::find(names.begin(), names.end(), group.name) != names.end())
            chosen.push_back(&group);
    return chosen;
}

// A session's options aimed at one printer; the speeds and data folder are
// the command's own.
CliOptions aimedAt(const CliOptions& options, const std::string& link, const std::string& target)
{
    CliOptions aimed = options;
    aimed.command.clear();
    aimed.arguments.clear();
    const auto kind = linkKindNamed(link);
    if (!kind)
        throw UsageError(MessageWithText("sUnknownReportLinkMsg", link));
    if (const std::string error = aimLink(aimed, *kind, target); !error.empty())
        throw UsageError(error);
    return aimed;
}

std::vector<PrinterPlan> printerPlans(const CliOptions& options, const ApplyArguments& a,
                                      const std::vector<const ProfileGroup*>& groups)
{
    std::vector<PrinterPlan> plans;
    if (a.retryPath) {
        for (const RetryTarget& retry : readRetryTargets(*a.retryPath)) {
            PrinterPlan plan{retry.printer, aimedAt(options, retry.printer.link, retry.printer.target), {}};
            for (const ProfileGroup* group : groups)
                if (std::find(retry.groups.begin(), retry.groups.end(), group->name) != retry.groups.end())
                    plan.groups.push_back(group);
            plans.push_back(std::move(plan));
        }
        return plans;
    }
    const auto add = [&](const char* link, const std::vector<std::string>& targets) {
        for (const std::string& target : targets) {
            if (target.empty())
                throw UsageError(std::string("--") + link + " needs a value");
            const std::size_t index = plans.size();
            plans.push_back({{link, target, index}, aimedAt(options, link, target), groups});
        }
    };
    add("serial", a.serialPorts);
    add("udp", a.udpTargets);
    add("usb", a.usbDevices);
    return plans;
}

// A failure's text on the printer's own line: its line breaks become "; ".
std::string onOneLine(const std::string& text)
{
    std::string line;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\n' && text[at] != '\r') {
            line += text[at];
        } else if (!line.empty() && !line.ends_with("; ") && text.find_first_not_of("\r\n", at) != std::string::npos) {
            line += "; ";
        }
    }
    return line;
}

void printPrinterLine(const PrinterResult& result, std::ostream& out)
{
    out << result.printer.link << ' ' << result.printer.target << ' '
        << (result.model.empty() ? std::string("-") : TerminalSafe(result.model)) << ": "
        << MessageText(result.succeeded() ? "sPrinterSucceededMsg" : "sPrinterFailedMsg");
    if (result.linkTest.outcome == GroupOutcome::Failed)
        out << ": " << onOneLine(result.linkTest.text);
    for (const GroupResult& group : result.groups)
        if (group.outcome == GroupOutcome::Failed)
            out << ": " << group.group << ": " << onOneLine(group.text);
    out << '\n';
}

// The report of a run before its printers finish: each printer not yet
// done stands as skipped, link and groups, so that a run cut short leaves a
// report that --retry takes every such printer from.
ApplyReport reportBeforeTheEnd(const std::string& profilePath, const std::vector<PrinterPlan>& plans)
{
    ApplyReport report;
    report.profile = profilePath;
    for (const PrinterPlan& plan : plans) {
        PrinterResult pending;
        pending.printer = plan.printer;
        for (const ProfileGroup* group : plan.groups)
            pending.groups.push_back({std::string(group->name), GroupOutcome::Skipped, {}});
        report.printers.push_back(std::move(pending));
    }
    return report;
}

}  // namespace

int runProfile(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::string path;
    try {
        Arguments args(options.arguments);
        const std::string action = args.positional("show");
        if (action != "show")
            throw UsageError(MessageWithValues("sProfileActionMsg", {action}));
        path = args.positional("FILE");
        args.finish();
    } catch (const UsageError& e) {
        return usageError(err, e.what(), "profile");
    }
    const auto profile = loadProfile(path, err);
    if (!profile)
        return 2;
    const auto checks = requests::CheckProfile(*profile, listsFor(options));
    const bool invalid = std::ranges::any_of(checks, [](const requests::GroupCheck& check) {
        return !check.missingKeys.empty() || !check.error.empty();
    });
    if (options.json) {
        attachJsonResult("profile", profileAsJson(checks, *profile));
        return invalid ? 2 : 0;
    }
    for (const requests::GroupCheck& check : checks) {
        out << check.group->name;
        if (check.empty)
            out << " (" << MessageText("sGroupEmptyMsg") << ")";
        else if (check.present && requests::GroupMustBeNamed(*check.group, *profile))
            out << " (" << MessageText("sOnlyWhenNamedMsg") << ")";
        out << ": " << groupValues(*check.group, *profile) << '\n';
        if (!check.missingKeys.empty()) {
            std::string missing;
            for (const std::string& key : check.missingKeys)
                missing += (missing.empty() ? "" : ", ") + key;
            out << "  " << MessageText("sIncompleteGroupMsg") << ": " << missing << '\n';
        }
        if (!check.error.empty()) {
            out << "  " << MessageText("sInvalidValueMsg") << ": " << check.error << '\n';
        }
    }
    for (const std::string& key : profile->unknownKeys())
        out << MessageText("sUnknownKeyMsg") << ": " << key << '\n';
    if (checks.empty())
        out << MessageText("sProfileEmptyMsg") << '\n';
    return invalid ? 2 : 0;
}

int runApply(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    ApplyArguments a;
    std::vector<PrinterPlan> plans;
    std::optional<Profile> profile;
    std::vector<const ProfileGroup*> groups;
    const requests::ProfileLists lists = listsFor(options);
    try {
        a = parseApply(options.arguments);
        profile = loadProfile(a.profilePath, err);
        if (!profile)
            return 2;
        groups = chosenGroups(a, *profile);
        plans = printerPlans(options, a, groups);
    } catch (const UsageError& e) {
        return usageError(err, e.what(), "apply");
    } catch (const std::exception& e) {
        // A report that cannot be read for --retry.
        err << e.what() << '\n';
        return 2;
    }

    // Every value is checked before any printer is spoken to.
    bool refused = false;
    for (const ProfileGroup* group : groups) {
        const std::vector<std::string> missing = profile->missingKeys(*group);
        if (!missing.empty()) {
            std::string keys;
            for (const std::string& key : missing)
                keys += (keys.empty() ? "" : ", ") + key;
            err << group->name << ": " << MessageText("sIncompleteGroupMsg") << ": " << keys << '\n';
            refused = true;
        } else if (requests::GroupIsEmpty(*group, *profile)) {
            err << group->name << ": " << MessageText("sGroupEmptyMsg") << '\n';
            refused = true;
        }
    }
    for (const requests::GroupCheck& check : requests::CheckProfile(*profile, lists))
        if (!check.error.empty() && std::find(groups.begin(), groups.end(), check.group) != groups.end()) {
            err << check.group->name << ": " << check.error << '\n';
            refused = true;
        }
    if (refused)
        return 2;
    if (groups.empty()) {
        err << MessageText("sProfileEmptyMsg") << '\n';
        return 2;
    }

    ApplySettings settings;
    settings.profile = &*profile;
    settings.lists = lists;
    settings.keepGoing = a.keepGoing;
    settings.jobs = a.jobs;

    // A value fit for the first printer may not be for a later one.
    if (const std::vector<std::string> refusals = planRefusals(plans, settings); !refusals.empty()) {
        for (const std::string& refusal : refusals)
            err << refusal << '\n';
        return 2;
    }

    if (a.dryRun) {
        for (const PrinterPlan& plan : plans) {
            out << plan.printer.link << ' ' << plan.printer.target << '\n';
            for (const std::string& line : dryRunLines(plan, settings))
                out << "  " << line << '\n';
        }
        return 0;
    }

    // The block of serial numbers is taken before any printer is spoken
    // to, so that an apply run beside this one starts after it.
    const bool productApplied =
        std::any_of(groups.begin(), groups.end(), [](const ProfileGroup* g) { return g->name == "product"; });
    if (a.saveSerial && productApplied && !a.retryPath) {
        requests::SerialReservation reservation =
            requests::ReserveSerialNumbers(a.profilePath, *profile, plans.size());
        if (!reservation.error.empty()) {
            err << a.profilePath << ": " << reservation.error << '\n';
            return 1;
        }
        profile = std::move(reservation.profile);
        settings.profile = &*profile;
    }

    ApplyReport report;
    report.profile = a.profilePath;
    // Each printer that ends rewrites the report, so that a run cut short
    // leaves the results of those done; its last word is written below.
    ApplyReport soFar = reportBeforeTheEnd(a.profilePath, plans);
    if (a.reportPath)
        writeReport(soFar, *a.reportPath);
    report.printers = applyToPrinters(plans, settings, [&](const PrinterResult& result) {
        printPrinterLine(result, out);
        out.flush();
        if (!a.reportPath)
            return;
        for (PrinterResult& slot : soFar.printers)
            if (slot.printer.index == result.printer.index && slot.printer.link == result.printer.link &&
                slot.printer.target == result.printer.target)
                slot = result;
        writeReport(soFar, *a.reportPath);
    });
    out << MessageWithNumbers("sApplySummaryMsg",
                              {static_cast<long long>(report.printers.size()),
                               static_cast<long long>(report.succeededPrinters()),
                               static_cast<long long>(report.printers.size() - report.succeededPrinters())})
        << '\n';
    runRecord().attachJson("report", reportAsJson(report));

    int status = report.succeeded() ? 0 : 1;
    if (a.reportPath) {
        if (const std::string error = writeReport(report, *a.reportPath); !error.empty()) {
            err << *a.reportPath << ": " << error << '\n';
            status = 1;
        }
    }
    return status;
}

}  // namespace pst::cli
