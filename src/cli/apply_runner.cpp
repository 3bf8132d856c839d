#include "cli/apply_runner.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "cli/cli_session.h"
#include "cli/operation_commands.h"
#include "cli/stop_requests.h"
#include "operations/dry_run.h"
#include "operations/operation_table.h"
#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "texts/engine_texts.h"
#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

std::string failureText(const std::optional<WorkerFailure>& failure)
{
    if (!failure)
        return {};
    std::string text = EngineTextInLanguage(failure->text);
    if (!failure->cause.empty() && failure->cause != failure->text)
        text += " (" + EngineTextInLanguage(failure->cause) + ")";
    return text;
}

// The requests of a group, or the refusal's text.
std::vector<requests::Request> groupRequests(const requests::ProfileGroup& group, const ApplySettings& settings,
                                             std::size_t printerIndex, std::string& refusal)
{
    try {
        return requests::GroupRequests(group, *settings.profile, settings.lists, printerIndex);
    } catch (const EInvalidInput& e) {
        refusal = InputRefusalText(e);
    } catch (const EConvertError& e) {
        refusal = InputRefusalText(e);
    } catch (const std::exception& e) {
        refusal = EngineTextInLanguage(e.what());
    }
    return {};
}

GroupResult applyGroup(CliSession& session, CliOptions& aimed, const requests::ProfileGroup& group,
                       const ApplySettings& settings, std::size_t printerIndex)
{
    GroupResult result{std::string(group.name), GroupOutcome::Ok, {}};
    std::string refusal;
    std::vector<requests::Request> requests = groupRequests(group, settings, printerIndex, refusal);
    if (!refusal.empty())
        return {result.group, GroupOutcome::Failed, refusal};
    for (requests::Request& request : requests) {
        if (request.sending == requests::Sending::Bare)
            session.aimSerialComponent(aimed);
        const int status =
            session.run(request.operation, request.argument1, request.argument2, std::move(request.handOver));
        if (request.sending != requests::Sending::Packet)
            waitForUnansweredBytes(session, request.bytesToSend);
        if (status != 0)
            return {result.group, GroupOutcome::Failed, failureText(session.lastFailure())};
        if (request.sending != requests::Sending::Packet)
            result.outcome = GroupOutcome::Sent;
        result.text = session.worker().status().status();
        // A confirmed speed setting moves the printer's line at once.
        if (request.newDeviceSpeed) {
            aimed.deviceSpeed = *request.newDeviceSpeed;
            session.aim(aimed);
        }
    }
    return result;
}

// A printer that is never spoken to: every group skipped, for `why`.
PrinterResult notApplied(const PrinterPlan& plan, const std::string& why)
{
    PrinterResult result;
    result.printer = plan.printer;
    result.linkTest = {"link", GroupOutcome::Failed, why};
    for (const requests::ProfileGroup* group : plan.groups)
        result.groups.push_back({std::string(group->name), GroupOutcome::Skipped, {}});
    return result;
}

PrinterResult applyToOne(const PrinterPlan& plan, const ApplySettings& settings)
{
    // After a request to stop the printers not yet begun are left alone.
    if (stopRequested())
        return notApplied(plan, MessageText("sNotStartedStoppedMsg"));
    const auto started = std::chrono::steady_clock::now();
    PrinterResult result;
    result.printer = plan.printer;
    {
        std::ostringstream ignored;
        CliSession session(plan.link, ignored, ignored);
        // A printer that does not answer is reported, not looked for: the
        // speeds a fleet's printers listen at are the profile's business.
        session.setSpeedRecovery(false);
        session.setRecorded(false);
        bool stop = false;
        if (session.runQuietly(Operation::LinkTest) == 0) {
            result.model = session.worker().DeviceModel();
            result.linkTest = {"link", GroupOutcome::Ok, result.model};
        } else {
            result.linkTest = {"link", GroupOutcome::Failed, failureText(session.lastFailure())};
            stop = true;
        }
        CliOptions aimed = plan.link;
        for (const requests::ProfileGroup* group : plan.groups) {
            if (stop) {
                result.groups.push_back({std::string(group->name), GroupOutcome::Skipped, {}});
                continue;
            }
            result.groups.push_back(applyGroup(session, aimed, *group, settings, plan.printer.index));
            if (result.groups.back().outcome == GroupOutcome::Failed && (!settings.keepGoing || stopRequested()))
                stop = true;
        }
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

// What two printers must not use at the same time.
std::string resourceOf(const PrinterPlan& plan)
{
    return plan.printer.link + " " + plan.printer.target;
}

std::string hexLine(const std::vector<std::uint8_t>& bytes)
{
    std::string line;
    line.reserve(bytes.size() * 3);
    char hex[4];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(hex, sizeof hex, "%s%02X", line.empty() ? "" : " ", byte);
        line += hex;
    }
    return line;
}

}  // namespace

std::vector<PrinterResult> applyToPrinters(const std::vector<PrinterPlan>& plans, const ApplySettings& settings,
                                           const std::function<void(const PrinterResult&)>& finished)
{
    std::vector<PrinterResult> results(plans.size());
    std::mutex mutex;
    std::condition_variable freed;
    std::vector<bool> started(plans.size(), false);
    std::set<std::string> busy;

    // Each job takes the first printer whose port no other job holds.
    const auto job = [&] {
        std::unique_lock lock(mutex);
        while (true) {
            std::size_t chosen = plans.size();
            freed.wait(lock, [&] {
                for (std::size_t i = 0; i < plans.size(); ++i)
                    if (!started[i] && !busy.count(resourceOf(plans[i]))) {
                        chosen = i;
                        return true;
                    }
                // Nothing can start now: wait for a port to be freed, unless
                // every printer has been started and this job can end.
                return std::find(started.begin(), started.end(), false) == started.end();
            });
            if (chosen == plans.size())
                return;
            started[chosen] = true;
            const std::string resource = resourceOf(plans[chosen]);
            busy.insert(resource);
            lock.unlock();
            // A thread of its own must not let a failure escape: the
            // printer's result says it instead.
            PrinterResult result;
            try {
                result = applyToOne(plans[chosen], settings);
            } catch (const std::exception& e) {
                result = notApplied(plans[chosen], EngineTextInLanguage(e.what()));
            }
            lock.lock();
            results[chosen] = std::move(result);
            busy.erase(resource);
            if (finished)
                finished(results[chosen]);
            freed.notify_all();
        }
    };

    const std::size_t jobs = std::max<std::size_t>(1, std::min(settings.jobs, plans.size()));
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < jobs; ++i)
        threads.emplace_back(job);
    job();
    for (std::thread& thread : threads)
        thread.join();
    return results;
}

std::vector<std::string> planRefusals(const std::vector<PrinterPlan>& plans, const ApplySettings& settings)
{
    std::vector<std::string> refusals;
    for (const PrinterPlan& plan : plans)
        for (const requests::ProfileGroup* group : plan.groups) {
            std::string refusal;
            groupRequests(*group, settings, plan.printer.index, refusal);
            if (!refusal.empty())
                refusals.push_back(plan.printer.link + " " + plan.printer.target + ": " + std::string(group->name) +
                                   ": " + refusal);
        }
    return refusals;
}

std::vector<std::string> dryRunLines(const PrinterPlan& plan, const ApplySettings& settings)
{
    RunSettings run;
    run.kind = plan.link.link;
    std::vector<std::string> lines;
    for (const requests::ProfileGroup* group : plan.groups) {
        for (const requests::Request& request :
             requests::GroupRequests(*group, *settings.profile, settings.lists, plan.printer.index))
            for (const auto& frame :
                 DryRunFrames(request.operation, request.argument1, request.argument2, request.handOver, run))
                lines.push_back(std::string(group->name) + ": " + hexLine(frame));
    }
    return lines;
}

}  // namespace pst::cli
