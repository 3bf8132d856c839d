#include "engine/comm_thread.h"

#include "engine/error_policy.h"
#include "engine/window_messages.h"
#include "engine/worker_context.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "transport/comm.h"
#include "transport/udp_client.h"
#include "transport/usb_comm.h"

namespace pst {

TCommThread::TCommThread(std::shared_ptr<MessageTarget> notify,
                         std::shared_ptr<ConnectionSettingsStore> settings, std::string programFolder,
                         WorkerLinks links)
    : uiDispatcher_(Dispatcher::current()),
      settings_(std::move(settings)),
      programFolder_(std::move(programFolder)),
      notify_(std::move(notify)),
      comm_(std::make_unique<TComm>()),
      usb_(std::make_unique<TUSBComm>(links.usbPaths, links.watchUsbDevices)),
      udp_(std::move(links.udpClient))
{
    comm_->SetInx_XonXoffFlow(false);
    comm_->SetOutx_XonXoffFlow(false);
    comm_->SetReadIntervalTimeout(20);
    comm_->SetDtrControl(TDtrControl::DtrDisable);
    comm_->SetRtsControl(TRtsControl::RtsDisable);
    comm_->OnReceiveData = [this](TComm&, const std::uint8_t* buffer, std::uint16_t length) {
        OnSerialData(buffer, length);
    };
    AttachUsbComponent();
    thread_ = std::thread([this] { ThreadBody(); });
}

TCommThread::~TCommThread()
{
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
    comm_->ClosePort();
    // Before the list it refreshes goes: no USB event may run after this.
    usb_.reset();
}

bool TCommThread::StartOperation(int operation, std::int32_t argument1, std::int32_t argument2,
                                 HandOver handOver)
{
    return Request(operation, argument1, argument2, std::move(handOver), nullptr);
}

bool TCommThread::StartCustom(std::function<void(TCommThread&)> handler)
{
    return Request(kCustomOperation, 0, 0, {}, std::move(handler));
}

bool TCommThread::Request(int operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver,
                          std::function<void(TCommThread&)> handler)
{
    {
        std::lock_guard lock(wakeMutex_);
        if (busy_.load() || requestPending_)
            return false;
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
    return true;
}

void TCommThread::SetNotifyTarget(std::shared_ptr<MessageTarget> target)
{
    std::lock_guard lock(targetMutex_);
    notify_ = std::move(target);
}

std::shared_ptr<MessageTarget> TCommThread::NotifyTarget() const
{
    std::lock_guard lock(targetMutex_);
    return notify_;
}

void TCommThread::SetParamBarSink(TextSink sink)
{
    std::lock_guard lock(targetMutex_);
    paramBar_ = std::move(sink);
}

void TCommThread::SetMonitorSink(std::function<void(const std::string&)> sink)
{
    std::lock_guard lock(targetMutex_);
    monitor_ = std::move(sink);
}

void TCommThread::SetSleeper(Sleeper sleeper)
{
    sleeper_ = std::move(sleeper);
}

void TCommThread::SetStatusClock(SteadyClock clock)
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

void TCommThread::SetDeviceModel(const std::string& model)
{
    std::lock_guard lock(modelMutex_);
    deviceModel_ = model;
}

std::string TCommThread::LogPath() const
{
    return joinPath(programFolder_, "debug.log");
}

int TCommThread::RawFirstByte()
{
    std::lock_guard lock(replyMutex_);
    return reply_.position() > 0 ? reply_.buffer()[0] : -1;
}

void TCommThread::ClearRawReceive()
{
    std::lock_guard lock(replyMutex_);
    reply_.reset();
}

void TCommThread::Pause(int milliseconds)
{
    if (Cancelled())
        return;
    if (sleeper_)
        sleeper_(std::chrono::milliseconds(milliseconds));
    else
        cancel_.wait(std::chrono::milliseconds(milliseconds));
}

void TCommThread::NoteFailureCause(const std::exception& failure)
{
    std::string cause = failure.what();
    if (const auto* comms = dynamic_cast<const ECommsError*>(&failure); comms && !comms->detail().empty())
        cause += " (" + comms->detail() + ")";
    // A datagram that could not be sent is why no reply came.
    if (!droppedSendError_.empty())
        cause += " (the datagram was not sent: " + droppedSendError_ + ")";
    status_.setFailureCause(cause);
}

bool TCommThread::Guarded(const std::function<void()>& body)
{
    const auto failure =
        RunUnderErrorPolicy(body, [this](const std::exception& cause) { NoteFailureCause(cause); });
    if (!failure)
        return true;
    SetErrorCode(failure->code);
    SetErrorText(failure->text);
    return false;
}

void TCommThread::SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (auto target = NotifyTarget())
        target->send(message, wParam, lParam);
}

void TCommThread::PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (auto target = NotifyTarget())
        target->post(message, wParam, lParam);
}

void TCommThread::ThreadBody()
{
    for (;;) {
        {
            std::unique_lock lock(wakeMutex_);
            wake_.wait(lock, [&] { return requestPending_ || terminate_; });
            if (!requestPending_)
                break;
            requestPending_ = false;
        }
        RunOnce();
    }
    exited_.set();
}

bool TCommThread::TakeRunSettings()
{
    const ConnectionSettings settings = settings_->get();
    run_ = RunSettings{};
    run_.kind = settings.kind;
    run_.comName = settings.comName;
    run_.ipAddress = settings.ipAddress;
    run_.port = settings.port;
    run_.network = settings.kind == LinkKind::Network;
    run_.usb = settings.kind == LinkKind::Usb;
    run_.serial = settings.kind == LinkKind::Serial;
    // A speed box that does not hold a whole number ends the run before any
    // handler, with the conversion message; the worker stays usable.
    return Guarded([&] {
        run_.transferSpeed = static_cast<std::uint32_t>(strToInt(settings.transferSpeedText));
        run_.deviceSpeed = static_cast<std::uint32_t>(strToInt(settings.deviceSpeedText));
    });
}

void TCommThread::RunOnce()
{
    log_.clear();
    errorCode_ = 0;  // every handler starts from here
    status_.setFailureCause({});
    droppedSendError_.clear();
    if (TakeRunSettings()) {
        comm_->SetReadIntervalTimeout(1);
        comm_->SetReadTotalTimeoutMultiplier(0);
        comm_->SetReadTotalTimeoutConstant(0);

        const int operation = operation_.load();
        if (operation == kCustomOperation && customHandler_) {
            customHandler_(*this);
        } else if (OperationHandler handler = operations_ ? operations_(operation) : nullptr) {
            WorkerContext context(*this);
            handler(context);
        } else if (operation >= 1 && operation <= kLastOperation) {
            SetErrorCode(1);
            SetErrorText("Operation " + std::to_string(operation) + " is not available in this version");
        }
    }

    // The result must reach the window even when the log cannot be saved.
    const std::string saveError = log_.saveTo(LogPath());
    status_.setLogSaveError(saveError.empty() ? std::string() : LogPath() + ": " + saveError);

    // The run is over before the window hears of it, so that the window may
    // start the next operation from its handler of the result.
    const int errorCode = errorCode_;
    errorCode_ = 0;
    operation_ = 0;
    customHandler_ = nullptr;
    comm_->SetReadIntervalTimeout(20);
    comm_->SetReadTotalTimeoutMultiplier(0);
    comm_->SetReadTotalTimeoutConstant(0);
    {
        std::lock_guard lock(wakeMutex_);
        busy_ = false;
    }

    if (!saveError.empty())
        PostMessage(UM_LOG_NOT_SAVED, 0, 0);
    if (errorCode == 0)
        SendMessage(UM_OP_DONE, 0, 0);
    else
        PostMessage(UM_OP_FAILED, errorCode, 0);
}

}  // namespace pst
