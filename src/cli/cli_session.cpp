#include "cli/cli_session.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string_view>

#include "cli/progress_display.h"
#include "cli/run_record.h"
#include "cli/speed_search.h"
#include "engine/link_kinds.h"
#include "engine/status_text.h"
#include "operations/operation_table.h"
#include "platform/program_folder.h"
#include "texts/engine_texts.h"
#include "texts/message_texts.h"
#include "transport/udp_client.h"

namespace pst::cli {

namespace {

// A text of composeProgressText's with a count: "...Finish 45.0%(12/26)".
bool isProgressText(const std::string& text)
{
    const std::size_t at = text.rfind("Finish ");
    if (at == std::string::npos || text.back() != ')')
        return false;
    unsigned whole = 0, tenth = 0, done = 0, inAll = 0;
    char close = 0;
    return std::sscanf(text.c_str() + at, "Finish %u.%u%%(%u/%u%c", &whole, &tenth, &done, &inAll, &close) == 5 &&
        close == ')';
}

}  // namespace

CliSession::CliSession(const CliOptions& options, std::ostream& out, std::ostream& err)
    : out_(out), err_(err), settings_(std::make_shared<ConnectionSettingsStore>())
{
    aim(options);
    // The session plays the main window, which owns the network link.
    WorkerLinks links;
    links.udpClient = std::make_shared<TUdpClient>();
    worker_ =
        std::make_unique<TCommThread>(settings_, resolveProgramFolder(options.dataDir), std::move(links));
    worker_->setOperationTable(&operationHandler);
    worker_->setEvents(events());
    stopRegistration_.emplace([this] { worker_->cancelOperation(); });
    worker_->keepFullLog(options.fullLog);
}

void CliSession::aim(const CliOptions& options)
{
    options_ = options;
    ConnectionSettings settings;
    settings.kind = options.link;
    settings.comName = options.serialPort;
    settings.ipAddress = options.udpHost;
    settings.port = options.udpPort;
    settings.usbDeviceId = options.usbDevice;
    settings.deviceSpeed = options.deviceSpeed;
    settings.transferSpeed = options.transferSpeed;
    settings_->set(settings);
}

WorkerEvents CliSession::events()
{
    WorkerEvents events;
    // Each announced text as it was then, not as the board reads later: a
    // fast link shows "Checking..." and "...Found" within the same moment.
    events.status = [this](const StatusUpdate& update) { showStatus(update); };
    events.unsolicitedLine = [this](const std::string& line) { out_ << line << '\n'; };
    events.logNotSaved = [this](const std::string& reason) {
        err_ << MessageText("sLogNotSavedMsg") << " (" << reason << ")\n";
    };
    events.done = [this](const RunOutcome& outcome) { finish(outcome.run, nullptr); };
    events.failed = [this](const WorkerFailure& failure) { finish(failure.run, &failure); };
    return events;
}

void CliSession::finish(RunId run, const WorkerFailure* failure)
{
    // Notified under the lock: the waiting thread may end the session (and
    // destroy the condition) as soon as it sees the run finished.
    std::lock_guard lock(endMutex_);
    endedRun_ = run;
    if (failure)
        failure_ = *failure;
    ended_.notify_all();
}

CliSession::~CliSession()
{
    // A request to stop must find no worker gone. The worker's thread
    // delivers the events that use the members below it: it goes next.
    stopRegistration_.reset();
    worker_.reset();
}

namespace {

// debug.log holds the command's own exchanges first; what was asked after
// it failed comes under headings of its own.
constexpr std::string_view kProbesHeading = "---- Probes after the failure ----";

std::string againHeading(std::uint32_t speed)
{
    return "---- The command again at " + std::to_string(speed) + " bit/s ----";
}

}  // namespace

int CliSession::run(Operation operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver)
{
    const bool mayRecover = speedRecovery_ && linkKindInfo(options_.link).hasLineSpeed;
    HandOver again = mayRecover && options_.autoSpeed ? handOver : HandOver{};
    const int status = runOnce(operation, argument1, argument2, std::move(handOver));
    if (status == 0 || !mayRecover || !lastFailure_ || !lastFailure_->unheard)
        return status;
    struct FreshLogAfter {
        TCommThread& worker;
        ~FreshLogAfter() { worker.logRunsAfresh(); }
    } freshLogAfter{*worker_};
    worker_->appendRunsToLog(kProbesHeading);
    // The questions at other speeds fail too, and may read a model: the
    // run's failure is the one to keep, and the command's record its own.
    const auto failure = lastFailure_;
    const bool recorded = recorded_;
    recorded_ = false;
    const auto speed = recoverSpeed(failure->silentAt);
    recorded_ = recorded;
    lastFailure_ = failure;
    if (!speed || !options_.autoSpeed)
        return status;
    CliOptions found = options_;
    found.deviceSpeed = *speed;
    aim(found);
    worker_->appendRunsToLog(againHeading(*speed));
    return runOnce(operation, argument1, argument2, std::move(again));
}

int CliSession::runQuietly(Operation operation)
{
    quiet_ = true;
    const int status = runOnce(operation, 0, 0, {});
    quiet_ = false;
    return status;
}

std::optional<std::uint32_t> CliSession::recoverSpeed(const std::vector<std::uint32_t>& silentAt)
{
    const std::uint32_t deviceSpeed = options_.deviceSpeed;
    // The failed run's switch back may have brought a printer left at the
    // transfer speed home again: the device speed is asked last.
    std::vector<std::uint32_t> speeds = searchOrder(deviceSpeed);
    std::rotate(speeds.begin(), speeds.begin() + 1, speeds.end());
    std::erase_if(speeds, [&](std::uint32_t speed) {
        return std::find(silentAt.begin(), silentAt.end(), speed) != silentAt.end();
    });
    const CliOptions asked = options_;
    const SpeedAnswer answer = askAtSpeeds(*this, speeds);
    aim(asked);
    if (!answer.speed)
        return std::nullopt;
    const long long speed = *answer.speed;
    if (*answer.speed == deviceSpeed)
        err_ << MessageWithNumbers(options_.autoSpeed ? "sSpeedBackGoingOnMsg" : "sSpeedBackMsg", {speed}) << '\n';
    else
        err_ << MessageWithNumbers(options_.autoSpeed ? "sAnswersAtGoingOnMsg" : "sAnswersAtMsg", {speed, speed})
             << '\n';
    return answer.speed;
}

int CliSession::runOnce(Operation operation, std::int32_t argument1, std::int32_t argument2,
                        HandOver handOver)
{
    {
        std::lock_guard lock(endMutex_);
        endedRun_ = 0;
        failure_.reset();
    }
    lastFailure_.reset();
    // The model the record gets is one this run read.
    worker_->setDeviceModel({});
    RunId run = 0;
    const bool started = startUnlessStopped(
        [&] { run = worker_->StartOperation(operation, argument1, argument2, std::move(handOver)); });
    if (!started) {
        // Nothing to tell for each run not started: main tells of the stop.
        const std::string text = MessageText("sNotStartedStoppedMsg");
        lastFailure_ = WorkerFailure{0, operationNumber(operation), FailureKind::Stopped, 1, text, {}};
        if (recorded_)
            runRecord().noteFailure(*lastFailure_);
        return 1;
    }
    if (run == 0) {
        if (!quiet_)
            err_ << MessageText("sBusyMsg") << '\n';
        return 1;
    }
    {
        std::unique_lock lock(endMutex_);
        // The run may end before its number is known here: the end is
        // recorded with the number it belongs to.
        ended_.wait(lock, [this, run] { return endedRun_ == run; });
        lastFailure_ = failure_;
    }
    if (recorded_) {
        if (linkKindInfo(options_.link).hasLineSpeed)
            runRecord().noteSpeeds(options_.deviceSpeed, options_.transferSpeed);
        if (lastFailure_)
            runRecord().noteFailure(*lastFailure_);
        else if (const std::string model = worker_->DeviceModel(); !model.empty())
            runRecord().noteModel(model);
    }
    // Texts shown within 70 ms of the previous one wait for a later event
    // that never comes once the run is over: show the last one now. A
    // transfer's count is not among them: the last one always comes.
    progressDisplay().end();
    if (const std::string last = worker_->status().status(); !isProgressText(last))
        printStatus(last);
    if (lastFailure_ && !quiet_) {
        err_ << EngineTextInLanguage(lastFailure_->text) << '\n';
        if (!lastFailure_->cause.empty() && lastFailure_->cause != lastFailure_->text)
            err_ << "  " << MessageText("sCauseMsg") << ": " << EngineTextInLanguage(lastFailure_->cause) << '\n';
    }
    return lastFailure_ ? 1 : 0;
}

void CliSession::showStatus(const StatusUpdate& update)
{
    if (update.inAll <= 0) {
        printStatus(update.text);
        return;
    }
    // The count goes to standard error; what the text says besides it, if
    // anything, stays a status text.
    const std::string count = composeProgressText("", update.done, update.inAll);
    const std::string& text = update.text;
    if (text.size() >= count.size() && text.compare(text.size() - count.size(), count.size(), count) == 0)
        printStatus(text.substr(0, text.size() - count.size()));
    if (progressShown_ && !quiet_ && !options_.quiet)
        progressDisplay().show(update.done, update.inAll);
}

void CliSession::printStatus(const std::string& text)
{
    if (text.empty() || text == lastPrinted_ || quiet_ || options_.quiet)
        return;
    lastPrinted_ = text;
    out_ << text << std::endl;
}

void CliSession::aimSerialComponent(const CliOptions& options)
{
    worker_->aimSerialPort(options.serialPort, options.deviceSpeed);
}

}  // namespace pst::cli
