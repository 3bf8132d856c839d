#include "engine/comm_thread.h"

#include <algorithm>

#include "engine/error_policy.h"
#include "engine/link_factory.h"
#include "engine/run_stopped.h"
#include "engine/worker_context.h"
#include "platform/program_folder.h"
#include "transport/comm.h"
#include "transport/udp_client.h"
#include "transport/usb_comm.h"
#include "protocol/errors.h"

namespace pst {

TCommThread::TCommThread(std::shared_ptr<ConnectionSettingsStore> settings, std::string programFolder,
                         WorkerLinks links)
    : uiDispatcher_(Dispatcher::current()),
      settings_(std::move(settings)),
      programFolder_(std::move(programFolder)),
      comm_(std::make_unique<TComm>()),
      usb_(std::make_unique<TUSBComm>(links.usbPaths, links.watchUsbDevices))
{
    comm_->setInx_XonXoffFlow(false);
    comm_->setOutx_XonXoffFlow(false);
    comm_->setReadIntervalTimeout(20);
    comm_->setDtrControl(TDtrControl::DtrDisable);
    comm_->setRtsControl(TRtsControl::RtsDisable);
    links_ =
        makeEveryLink({*comm_, *usb_, std::move(links.udpClient), log_, receiveContext(), &rawReceiveMode_});
    attachUsbComponent();
    thread_ = std::thread([this] { threadBody(); });
}

TCommThread::~TCommThread()
{
    // The program is closing: a run still going (a boot handshake that
    // polls for a minute) ends at its next pause instead of running out.
    cancel_.set();
    {
        std::lock_guard lock(wakeMutex_);
        terminate_ = true;
    }
    wake_.notify_all();
    // A run that is still going may be waiting for this thread to handle a
    // message it sent; keep handling them until the worker has left.
    while (exited_.wait(std::chrono::milliseconds(10)) != WaitResult::Signalled) {
        if (uiDispatcher_->isOwningThread())
            uiDispatcher_->processPending();
    }
    thread_.join();
    // The links stop receiving before what they report to goes.
    active_ = nullptr;
    links_.clear();
    comm_->ClosePort();
    // Before the list it refreshes goes: no USB event may run after this.
    usb_.reset();
}

RunId TCommThread::StartOperation(pst::Operation operation, std::int32_t argument1, std::int32_t argument2,
                                  HandOver handOver)
{
    return request(operationNumber(operation), argument1, argument2, std::move(handOver), nullptr);
}

RunId TCommThread::startCustom(std::function<void(TCommThread&)> handler)
{
    return request(kCustomOperation, 0, 0, {}, std::move(handler));
}

RunId TCommThread::request(int operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver,
                           std::function<void(TCommThread&)> handler)
{
    RunId run = 0;
    {
        std::lock_guard lock(wakeMutex_);
        if (busy_.load() || requestPending_)
            return 0;
        run = ++lastRun_;
        currentRun_ = run;
        busy_ = true;
        requestPending_ = true;
        operation_ = operation;
        argument1_ = argument1;
        argument2_ = argument2;
        handOver_ = std::move(handOver);
        customHandler_ = std::move(handler);
        cancel_.reset();
    }
    wake_.notify_all();
    return run;
}

StreamReply::Context TCommThread::receiveContext()
{
    StreamReply::Context context;
    context.log = &log_;
    context.operation = &operation_;
    context.showUnsolicited = [this](const std::uint8_t* bytes, std::size_t count) {
        showUnsolicited(bytes, count);
    };
    return context;
}

void TCommThread::setEvents(WorkerEvents events, std::shared_ptr<Dispatcher> dispatcher)
{
    setEvents(std::make_shared<const WorkerEvents>(std::move(events)), std::move(dispatcher));
}

void TCommThread::setEvents(std::shared_ptr<const WorkerEvents> events,
                            std::shared_ptr<Dispatcher> dispatcher)
{
    std::lock_guard lock(eventsMutex_);
    events_ = std::move(events);
    eventsDispatcher_ = std::move(dispatcher);
}

std::shared_ptr<const WorkerEvents> TCommThread::eventsObserver() const
{
    std::lock_guard lock(eventsMutex_);
    return events_;
}

WorkerEvents TCommThread::events() const
{
    std::lock_guard lock(eventsMutex_);
    return events_ ? *events_ : WorkerEvents{};
}

std::shared_ptr<Dispatcher> TCommThread::eventsDispatcher() const
{
    std::lock_guard lock(eventsMutex_);
    return eventsDispatcher_;
}

void TCommThread::deliver(std::function<void(const WorkerEvents&)> call, bool wait)
{
    std::shared_ptr<const WorkerEvents> events;
    std::shared_ptr<Dispatcher> dispatcher;
    {
        std::lock_guard lock(eventsMutex_);
        events = events_;
        dispatcher = eventsDispatcher_;
    }
    if (!events)
        return;
    if (!dispatcher) {
        call(*events);
        return;
    }
    auto run = [events = std::move(events), call = std::move(call)] { call(*events); };
    if (wait)
        dispatcher->send(std::move(run));
    else
        dispatcher->post(std::move(run));
}

WorkerFailure TCommThread::currentFailure() const
{
    WorkerFailure failure;
    failure.run = currentRun_.load();
    failure.operation = operation_.load();
    failure.code = errorCode_;
    failure.kind = failureKind_.load();
    failure.text = status_.error();
    failure.cause = status_.failureCause();
    failure.unheard = unheard_;
    failure.silentAt = silentAt_;
    if (failure.kind == FailureKind::Stopped) {
        failure.blocksDone = stoppedDone_;
        failure.blocksInAll = stoppedInAll_;
    }
    return failure;
}

void TCommThread::reportLinkFound()
{
    deliver(
        [found = PrinterFound{currentRun_.load(), DeviceModel(), deviceTypeNumber()}](const WorkerEvents& events) {
            if (events.linkFound)
                events.linkFound(found);
        },
        true);
}

void TCommThread::reportLinkFailed()
{
    deliver(
        [failure = currentFailure()](const WorkerEvents& events) {
            if (events.linkFailed)
                events.linkFailed(failure);
        },
        true);
}

void TCommThread::setSleeper(Sleeper sleeper)
{
    sleeper_ = std::move(sleeper);
}

void TCommThread::setStatusClock(SteadyClock clock)
{
    std::lock_guard lock(throttleMutex_);
    throttle_ = StatusThrottle(std::move(clock));
}

void TCommThread::SetErrorText(const std::string& text)
{
    status_.setError(text);
}

std::string TCommThread::DeviceModel() const
{
    std::lock_guard lock(modelMutex_);
    return deviceModel_;
}

void TCommThread::setDeviceModel(const std::string& model)
{
    std::lock_guard lock(modelMutex_);
    deviceModel_ = model;
}

std::string TCommThread::logPath() const
{
    return joinPath(programFolder_, "debug.log");
}

int TCommThread::rawFirstByte()
{
    return active_ ? active_->rawFirstByte() : -1;
}

void TCommThread::clearRawReceive()
{
    if (active_)
        active_->clearRawReceive();
}

void TCommThread::pause(int milliseconds)
{
    if (cancelled())
        return;
    if (sleeper_)
        sleeper_(std::chrono::milliseconds(milliseconds));
    else
        cancel_.wait(std::chrono::milliseconds(milliseconds));
}

void TCommThread::noteFailureCause(const std::exception& failure)
{
    std::string cause = failure.what();
    const auto* comms = dynamic_cast<const ECommsError*>(&failure);
    if (comms && !comms->detail().empty())
        cause += " (" + comms->detail() + ")";
    // A datagram that could not be sent is why no reply came.
    if (const std::string dropped = active_ ? active_->sendFailure() : std::string(); !dropped.empty())
        cause += " (the datagram was not sent: " + dropped + ")";
    status_.setFailureCause(cause);
    if (const auto* stop = dynamic_cast<const ERunStopped*>(&failure)) {
        failureKind_ = FailureKind::Stopped;
        stoppedDone_ = stop->blocksDone();
        stoppedInAll_ = stop->blocksInAll();
        return;
    }
    if (std::string_view(failure.what()).empty())
        failureKind_ = FailureKind::Undefined;
    else if (comms)
        failureKind_ = FailureKind::Link;
    else if (dynamic_cast<const EReadBackMismatch*>(&failure))
        failureKind_ = FailureKind::Mismatch;
    else if (dynamic_cast<const ECommunicationException*>(&failure) ||
             dynamic_cast<const ESetBaudRateException*>(&failure))
        failureKind_ = FailureKind::Exchange;
    else
        failureKind_ = FailureKind::Other;
}

bool TCommThread::guarded(const std::function<void()>& body)
{
    const auto failure =
        RunUnderErrorPolicy(body, [this](const std::exception& cause) { noteFailureCause(cause); });
    if (!failure)
        return true;
    // A failure without a text carries no kind of its own.
    if (failure->code == 2)
        failureKind_ = FailureKind::Undefined;
    setErrorCode(failure->code);
    SetErrorText(failure->text);
    return false;
}

void TCommThread::threadBody()
{
    for (;;) {
        {
            std::unique_lock lock(wakeMutex_);
            wake_.wait(lock, [&] { return requestPending_ || terminate_; });
            if (!requestPending_)
                break;
            requestPending_ = false;
        }
        runOnce();
    }
    exited_.set();
}

void TCommThread::takeRunSettings()
{
    const ConnectionSettings settings = settings_->get();
    run_ = RunSettings{};
    run_.kind = settings.kind;
    run_.comName = settings.comName;
    run_.ipAddress = settings.ipAddress;
    run_.port = settings.port;
    run_.transferSpeed = settings.transferSpeed;
    run_.deviceSpeed = settings.deviceSpeed;
    const auto driver = std::ranges::find(links_, settings.kind, &Link::kind);
    active_ = driver == links_.end() ? nullptr : driver->get();
}

void TCommThread::appendRunsToLog(std::string_view heading)
{
    appendToLog_ = true;
    log_.addHeading(heading);
}

void TCommThread::noteAnswer(bool answered)
{
    if (answered) {
        silentAt_.clear();
        return;
    }
    const std::uint32_t speed = lineSpeed();
    if (linkHasLineSpeed() && std::find(silentAt_.begin(), silentAt_.end(), speed) == silentAt_.end())
        silentAt_.push_back(speed);
}

std::string TCommThread::saveLogNow()
{
    const std::string saveError = log_.saveTo(logPath());
    status_.setLogSaveError(saveError.empty() ? std::string() : logPath() + ": " + saveError);
    return saveError;
}

void TCommThread::tellLogNotSaved()
{
    deliver(
        [reason = status_.logSaveError()](const WorkerEvents& events) {
            if (events.logNotSaved)
                events.logNotSaved(reason);
        },
        false);
}

void TCommThread::saveLog()
{
    if (!saveLogNow().empty())
        tellLogNotSaved();
}

void TCommThread::runOnce()
{
    if (!appendToLog_.load())
        log_.clear();
    // A read-back's bytes belong to the run that read them.
    setMemoryStream({});
    errorCode_ = 0;  // every handler starts from here
    status_.setFailureCause({});
    failureKind_ = FailureKind::Other;
    for (const auto& link : links_)
        link->forgetSendFailure();
    switchedTo_ = 0;
    switchHeard_ = false;
    strandedAt_ = 0;
    unheard_ = false;
    silentAt_.clear();
    takeRunSettings();
    comm_->setReadIntervalTimeout(1);
    comm_->setReadTotalTimeoutMultiplier(0);
    comm_->setReadTotalTimeoutConstant(0);

    const int operation = operation_.load();
    if (operation == kCustomOperation && customHandler_) {
        customHandler_(*this);
    } else if (OperationHandler handler =
                   operations_ ? operations_(static_cast<pst::Operation>(operation)) : nullptr) {
        WorkerContext context(*this);
        handler(context);
    } else if (operation >= kFirstOperation && operation <= kLastOperation) {
        failureKind_ = FailureKind::Refused;
        setErrorCode(1);
        SetErrorText("Operation " + std::to_string(operation) + " is not available in this version");
    }

    // A probe leaves the saving to whoever probes: one save for them all.
    const std::string saveError = probing() ? std::string() : saveLogNow();

    // The run is over before the window hears of it, so that the window may
    // start the next operation from its handler of the result.
    const int errorCode = errorCode_;
    const WorkerFailure failure = currentFailure();
    RunOutcome outcome{currentRun_.load(), operation_.load(), memoryStream()};
    errorCode_ = 0;
    operation_ = 0;
    customHandler_ = nullptr;
    comm_->setReadIntervalTimeout(20);
    comm_->setReadTotalTimeoutMultiplier(0);
    comm_->setReadTotalTimeoutConstant(0);
    {
        std::lock_guard lock(wakeMutex_);
        busy_ = false;
    }

    if (!saveError.empty())
        tellLogNotSaved();
    if (errorCode == 0) {
        deliver(
            [outcome = std::move(outcome)](const WorkerEvents& events) {
                if (events.done)
                    events.done(outcome);
            },
            true);
    } else {
        deliver(
            [failure](const WorkerEvents& events) {
                if (events.failed)
                    events.failed(failure);
            },
            false);
    }
}

}  // namespace pst
