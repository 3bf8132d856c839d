#pragma once
// The command worker: the one thread that talks to the printer.
//
// A window starts a numbered operation with StartOperation; the worker wakes,
// copies the connection settings, runs the operation's handler, saves the
// transfer log as "debug.log", reports the outcome to the notification
// window and sleeps until the next request. One operation runs at a time: a
// request that arrives while one runs is refused (StartOperation returns
// false) and leaves the running operation untouched.
//
// Threads: StartOperation, the notification target and the sinks are used on
// the thread that created the worker (the UI thread), which also runs the
// link components' events and so the reply assembly. Handlers and the link
// operations run on the worker thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "engine/connection_settings.h"
#include "engine/operation_context.h"
#include "engine/reply_assembler.h"
#include "engine/run_request.h"
#include "engine/status_board.h"
#include "engine/status_text.h"
#include "engine/transfer_log.h"
#include "platform/dispatcher.h"
#include "platform/manual_reset_event.h"
#include "platform/message_target.h"
#include "platform/sleeper.h"
#include "transport/usb_system_paths.h"

namespace pst {

class TComm;
class TUSBComm;
class TUdpClient;
class TCommThread;

// The table that names the handler of each numbered operation (nullptr:
// none in this version). The table is handed in by the program that
// creates the worker.
using OperationTable = OperationHandler (*)(int operation);

// Where a text goes on the thread that shows it.
struct TextSink {
    std::shared_ptr<Dispatcher> dispatcher;
    std::function<void(const std::string&)> show;
};

// The links the worker drives besides its own serial component. The UDP
// client belongs to the window that chose the network link; the worker only
// uses it while a run is on that link. Without one, the network link fails
// with a clear text. The USB component is the worker's own, created on the
// creating thread from these paths.
struct WorkerLinks {
    std::shared_ptr<TUdpClient> udpClient;
    UsbSystemPaths usbPaths = UsbSystemPaths::fromEnvironment();
    bool watchUsbDevices = true;
};

// The worker's list of USB printers, standing in for the main window's
// device box: the identifiers that contain "811E", and the box's text (the
// chosen one, empty for none). `error` is why the last refresh stopped short.
struct UsbDeviceListing {
    std::vector<std::string> items;
    std::string text;
    std::string error;
};

class TCommThread {
public:
    static constexpr int kDeviceTypeNumber = 1830;
    static constexpr int kLastOperation = 45;

    // Creates the worker, its serial component (whose events will run on the
    // calling thread) and the thread, which sleeps until the first request.
    // `notify` receives the worker's messages; `settings` is read at the
    // start of every run; `programFolder` is where "debug.log" is written.
    TCommThread(std::shared_ptr<MessageTarget> notify, std::shared_ptr<ConnectionSettingsStore> settings,
                std::string programFolder, WorkerLinks links = {});
    ~TCommThread();

    TCommThread(const TCommThread&) = delete;
    TCommThread& operator=(const TCommThread&) = delete;

    // Starts an operation. Returns false, changing nothing, when a run is in
    // progress.
    bool StartOperation(int operation, std::int32_t argument1 = 0, std::int32_t argument2 = 0,
                        HandOver handOver = {});
    bool Busy() const { return busy_.load(); }

    // Asks the running operation to stop (any thread): pauses end at once
    // and operations that can stop early do. Applies to the current run
    // only; every new request clears it.
    void CancelOperation() { cancel_.set(); }
    bool Cancelled() const { return cancel_.isSet(); }

    // Runs `handler` through the same per-run cycle as a numbered operation
    // (settings copy, log, messages), under kCustomOperation. Tests and
    // benchmarks use it to drive the exchanges directly.
    static constexpr int kCustomOperation = 1000;
    bool StartCustom(std::function<void(TCommThread&)> handler);

    // The handlers of the numbered operations; set before the first request.
    void SetOperationTable(OperationTable table) { operations_ = table; }

    void SetNotifyTarget(std::shared_ptr<MessageTarget> target);
    std::shared_ptr<MessageTarget> NotifyTarget() const;

    // Where ShowStatus sends download headings (the parameter window's
    // second status panel) and where unsolicited text lines go.
    void SetParamBarSink(TextSink sink);
    // Gets a copy of every status text that UM_STATUS announces, carried with
    // the message: a window reading the status board when the message
    // arrives may already find a later text there.
    void SetStatusSink(TextSink sink);
    void SetMonitorSink(std::function<void(const std::string&)> sink);

    // The USB printers present, refreshed on the creating thread whenever a
    // USB device arrives or is removed (the device is closed then). The copy
    // may be taken from any thread; the sink, when set, gets every refreshed
    // listing on the creating thread, so a window can show it.
    UsbDeviceListing UsbDevices() const;
    void SetUsbListSink(std::function<void(const UsbDeviceListing&)> sink);

    StatusBoard& Status() { return status_; }
    const StatusBoard& Status() const { return status_; }

    // Test seams: every fixed pause, and the clock of the status throttle.
    // Without a sleeper of its own a pause waits on the cancel event.
    void SetSleeper(Sleeper sleeper);
    void SetStatusClock(SteadyClock clock);

    // --- What handlers use (worker thread) -------------------------------

    int Operation() const { return operation_.load(); }
    std::int32_t Argument1() const { return argument1_; }
    std::int32_t Argument2() const { return argument2_; }
    const HandOver& RunHandOver() const { return handOver_; }
    const RunSettings& Run() const { return run_; }
    TComm& Comm() { return *comm_; }
    TUSBComm& UsbComm() { return *usb_; }
    // The window's connection settings; the baud-rate setting writes the
    // printer's new device speed here for later runs.
    ConnectionSettingsStore& Connection() { return *settings_; }

    void SetErrorCode(int code) { errorCode_ = code; }
    int ErrorCode() const { return errorCode_; }
    void SetErrorText(const std::string& text);

    // Notes what lay behind a failure (StatusBoard::failureCause).
    void NoteFailureCause(const std::exception& failure);

    // Runs `body` under the handler convention: a failure with a text gives
    // error code 1 and that text, any other failure code 2 and
    // "Undefined Error". Returns true when the body completed.
    bool Guarded(const std::function<void()>& body);

    // Link operations.
    void OpenLink(const std::string& portName, std::uint32_t transferSpeed);
    void RestoreLinkSpeed();
    void CloseLink();
    void OpenSerialAtDeviceSpeed(const std::string& portName);
    void WriteBytes(const std::uint8_t* bytes, std::size_t count);
    WaitResult WaitForReply(std::chrono::milliseconds timeout);
    // The network link: one datagram of at most `size` bytes within
    // `timeoutMs`; 0 when none came. Throws the link's failures.
    std::size_t ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs);
    // Copies the accepted reply's payload (up to `capacity` bytes); returns N.
    std::uint32_t TakeReplyPayload(std::uint8_t* out, std::size_t capacity);
    void ShowStatus(const std::string& text, std::int32_t done = 0, std::int32_t inAll = 0,
                    bool toParamBar = false);
    void AddLogLine(std::string line) { log_.addLine(std::move(line)); }
    void LogTransfer(std::string_view verb, const std::uint8_t* bytes, std::size_t count)
    {
        log_.addTransfer(verb, bytes, count);
    }
    void Pause(int milliseconds);

    bool PortOpen() const { return portOpen_.load(); }
    void SetPortOpen(bool open) { portOpen_ = open; }
    bool RawReceiveMode() const { return rawReceiveMode_.load(); }
    void SetRawReceiveMode(bool on) { rawReceiveMode_ = on; }
    bool BootPollMode() const { return bootPollMode_.load(); }
    void SetBootPollMode(bool on) { bootPollMode_ = on; }
    // The boot handshake's answer, "151" once the printer's loader replied;
    // the main window's boot timer reads and empties it.
    std::string BootReplyText() const
    {
        std::lock_guard lock(modelMutex_);
        return bootReply_;
    }
    void SetBootReplyText(const std::string& text)
    {
        std::lock_guard lock(modelMutex_);
        bootReply_ = text;
    }

    // Raw receive mode: the first byte received since the last write, or -1.
    int RawFirstByte();
    // Forgets the raw bytes received, so an old answer is not read again.
    void ClearRawReceive();

    // The worker's memory stream: what the last read-back collected.
    std::vector<std::uint8_t> MemoryStream() const
    {
        std::lock_guard lock(memoryMutex_);
        return memoryStream_;
    }
    void SetMemoryStream(std::vector<std::uint8_t> bytes)
    {
        std::lock_guard lock(memoryMutex_);
        memoryStream_ = std::move(bytes);
    }

    std::string DeviceModel() const;
    void SetDeviceModel(const std::string& model);
    int DeviceTypeNumber() const { return deviceType_.load(); }
    void SetDeviceTypeNumber(int number) { deviceType_ = number; }

    const TransferLog& Log() const { return log_; }
    std::string LogPath() const;

    // Sends (and waits) or posts a message to the notification window.
    void SendMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam);
    void PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam);

private:
    bool Request(int operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver,
                 std::function<void(TCommThread&)> handler);
    void ThreadBody();
    void RunOnce();
    bool TakeRunSettings();
    void OnSerialData(const std::uint8_t* bytes, std::size_t count);
    void OnUsbData(const std::uint8_t* bytes, std::size_t count);
    // Received bytes outside raw receive mode: shown when no run is going,
    // otherwise logged and fed to the reply being assembled.
    void AcceptReplyBytes(const std::uint8_t* bytes, std::size_t count);
    void AttachUsbComponent();
    void RefreshUsbList(bool arrival);
    TUdpClient& Udp();
    void ShowUnsolicited(const std::uint8_t* bytes, std::size_t count);

    std::shared_ptr<Dispatcher> uiDispatcher_;
    std::shared_ptr<ConnectionSettingsStore> settings_;
    std::string programFolder_;

    mutable std::mutex targetMutex_;
    std::shared_ptr<MessageTarget> notify_;
    TextSink paramBar_;
    TextSink statusSink_;
    std::function<void(const std::string&)> monitor_;

    std::unique_ptr<TComm> comm_;
    std::unique_ptr<TUSBComm> usb_;
    std::shared_ptr<TUdpClient> udp_;
    // Why the last datagram could not be sent: the send's failure is dropped
    // and the exchange times out, but the cause is worth telling.
    std::string droppedSendError_;  // worker thread only

    mutable std::mutex usbListMutex_;
    UsbDeviceListing usbList_;                                  // guarded by usbListMutex_
    std::function<void(const UsbDeviceListing&)> usbListSink_;  // guarded by usbListMutex_

    // Request hand-off between StartOperation and the thread body.
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool requestPending_ = false;
    bool terminate_ = false;
    std::atomic<bool> busy_{false};

    std::atomic<int> operation_{0};
    std::int32_t argument1_ = 0;
    std::int32_t argument2_ = 0;
    HandOver handOver_;
    std::function<void(TCommThread&)> customHandler_;
    OperationTable operations_ = nullptr;
    int errorCode_ = 0;
    RunSettings run_;

    TransferLog log_;
    StatusBoard status_;
    std::mutex throttleMutex_;
    StatusThrottle throttle_;
    Sleeper sleeper_;  // empty: pauses wait on cancel_
    ManualResetEvent cancel_;

    // Reply state: the assembler is filled on the UI thread and read by the
    // worker after the reply event is set.
    std::mutex replyMutex_;
    ReplyAssembler reply_;
    ManualResetEvent replyEvent_;

    std::atomic<bool> portOpen_{false};
    std::atomic<bool> rawReceiveMode_{false};
    std::atomic<bool> bootPollMode_{false};
    std::atomic<int> deviceType_{0};
    mutable std::mutex modelMutex_;
    std::string deviceModel_;
    std::string bootReply_;
    mutable std::mutex memoryMutex_;
    std::vector<std::uint8_t> memoryStream_;

    ManualResetEvent exited_;
    std::thread thread_;
};

}  // namespace pst
