#pragma once
// The command worker: the one thread that talks to the printer.
//
// A window starts a numbered operation with StartOperation; the worker wakes,
// copies the connection settings, runs the operation's handler, saves the
// transfer log as "debug.log", reports the outcome through its events (see
// worker_events.h) and sleeps until the next request. One operation runs at
// a time: a request that arrives while one runs is refused (StartOperation
// returns false) and leaves the running operation untouched.
//
// Threads: StartOperation is called on the thread that created the worker
// (the UI thread), which also runs the USB component's device events.
// Handlers and the link operations run on the worker thread; replies are
// assembled on the link components' reader threads.

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
#include "engine/link.h"
#include "engine/operation.h"
#include "engine/operation_context.h"
#include "engine/run_request.h"
#include "engine/status_board.h"
#include "engine/status_text.h"
#include "engine/stream_reply.h"
#include "engine/transfer_log.h"
#include "engine/worker_events.h"
#include "platform/dispatcher.h"
#include "platform/manual_reset_event.h"
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
using OperationTable = OperationHandler (*)(Operation operation);

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

class TCommThread {
public:
    static constexpr int kDeviceTypeNumber = 1830;

    // Creates the worker, its link components and the thread, which sleeps
    // until the first request. `settings` is read at the start of every run;
    // `programFolder` is where "debug.log" is written.
    TCommThread(std::shared_ptr<ConnectionSettingsStore> settings, std::string programFolder,
                WorkerLinks links = {});
    ~TCommThread();

    TCommThread(const TCommThread&) = delete;
    TCommThread& operator=(const TCommThread&) = delete;

    // Starts an operation and returns its run, whose events carry its
    // number. Returns 0, changing nothing, when a run is in progress.
    RunId StartOperation(pst::Operation operation, std::int32_t argument1 = 0, std::int32_t argument2 = 0,
                         HandOver handOver = {});
    bool busy() const { return busy_.load(); }
    // The run going on, or the one that ended last.
    RunId currentRun() const { return currentRun_.load(); }

    // Asks the running operation to stop (any thread): pauses end at once,
    // and the long operations stop before their next block, switch the
    // printer back and end the run as FailureKind::Stopped (a stop after
    // their last block changes nothing). Applies to the current run only;
    // every new request clears it.
    void cancelOperation() { cancel_.set(); }
    bool cancelled() const { return cancel_.isSet(); }

    // Runs `handler` through the same per-run cycle as a numbered operation
    // (settings copy, log, events), under kCustomOperation. Tests and
    // benchmarks use it to drive the exchanges directly.
    static constexpr int kCustomOperation = 1000;
    RunId startCustom(std::function<void(TCommThread&)> handler);

    // The handlers of the numbered operations; set before the first request.
    void setOperationTable(OperationTable table) { operations_ = table; }

    // Who hears the worker's events, and on which thread (see
    // worker_events.h): through `dispatcher`, or at once on the thread that
    // raises them when it is null. Replaces the previous observer; a window
    // that takes over for a while keeps events() and gives it back.
    void setEvents(WorkerEvents events, std::shared_ptr<Dispatcher> dispatcher = nullptr);
    void setEvents(std::shared_ptr<const WorkerEvents> events, std::shared_ptr<Dispatcher> dispatcher);
    WorkerEvents events() const;
    // The observer in place, to tell whose it is.
    std::shared_ptr<const WorkerEvents> eventsObserver() const;
    std::shared_ptr<Dispatcher> eventsDispatcher() const;

    // The USB printers present, refreshed on the creating thread whenever a
    // USB device arrives or is removed (the device is closed then). The copy
    // may be taken from any thread; every refreshed listing is also
    // delivered as usbDevicesChanged.
    UsbDeviceListing usbDevices() const;

    StatusBoard& status() { return status_; }
    const StatusBoard& status() const { return status_; }

    // Test seams: every fixed pause, and the clock of the status throttle.
    // Without a sleeper of its own a pause waits on the cancel event.
    void setSleeper(Sleeper sleeper);
    void setStatusClock(SteadyClock clock);

    // --- What handlers use (worker thread) -------------------------------

    int operation() const { return operation_.load(); }
    std::int32_t argument1() const { return argument1_; }
    std::int32_t argument2() const { return argument2_; }
    const HandOver& runHandOver() const { return handOver_; }
    const RunSettings& run() const { return run_; }
    TComm& comm() { return *comm_; }
    TUSBComm& usbComm() { return *usb_; }
    // The window's connection settings; the baud-rate setting writes the
    // printer's new device speed here for later runs.
    ConnectionSettingsStore& connection() { return *settings_; }

    void setErrorCode(int code) { errorCode_ = code; }
    int errorCode() const { return errorCode_; }
    void SetErrorText(const std::string& text);

    // Notes what lay behind a failure (StatusBoard::failureCause).
    void noteFailureCause(const std::exception& failure);

    // Runs `body` under the handler convention: a failure with a text gives
    // error code 1 and that text, any other failure code 2 and
    // "Undefined Error". Returns true when the body completed.
    bool guarded(const std::function<void()>& body);

    // Link operations.
    void OpenLink(const std::string& portName, std::uint32_t transferSpeed);
    void RestoreLinkSpeed();
    void CloseLink();
    void OpenSerialAtDeviceSpeed(const std::string& portName);
    // False when the link could not take the bytes (see Link::write).
    bool WriteBytes(const std::uint8_t* bytes, std::size_t count);
    // The run's link; null for a kind that has none (the parallel port).
    Link* activeLink() { return active_; }
    // The run's line speed, which the speed switch compares with (0 on a
    // link without one).
    std::uint32_t lineSpeed() const;
    void setLineSpeed(std::uint32_t speed);
    // Whether the run's link has a line speed (the serial port): the only
    // links the speed switch applies to.
    bool linkHasLineSpeed() const;

    // The speed switch's account of where the printer listens. A printer
    // left at the transfer speed hears nothing at its device speed until it
    // restarts, so every run that switched it owes a switch back before it
    // lets go of the link.
    // Told by the switch: `speed` was asked for, and was confirmed or not.
    void noteSpeedSwitch(std::uint32_t speed, bool confirmed);
    // The printer listens at its (new) device speed without a switch back:
    // it took a new device speed, or restarts for a program download.
    void forgetSpeedSwitch();
    // When the printer may still be away from the device speed (switched,
    // or asked to switch without a reply): one switch back, as the switch
    // itself makes one attempt. Its failure is recorded, never thrown.
    void switchBackIfStillSwitched();
    // The speed the printer may still be listening at after a switch back
    // it did not confirm, having confirmed the switch away; 0 otherwise.
    std::uint32_t strandedSpeed() const { return strandedAt_; }
    // Told by every exchange whether its request was answered. On the serial
    // port an unanswered one notes the line speed as one the printer was
    // silent at (WorkerFailure::silentAt); an answer forgets them all, for
    // the printer may have moved since, as an unconfirmed speed switch
    // forgets the speed it asked for.
    void noteAnswer(bool answered);
    // Runs that only ask whether a printer answers (the speed search): the
    // serial port is asked at once, without the settling pause after it
    // opens, and the log is left for saveLog after the last of them instead
    // of being written after each. Set between runs.
    void setProbing(bool probing) { probing_ = probing; }
    bool probing() const { return probing_.load(); }
    // Adds `line` to the run's error text on a line of its own, failing the
    // run with it when the run had not failed.
    void addToRunFailure(const std::string& line);

    // While the printer restarts: on serial and USB, lets go of the link
    // (true) so that retakeLink can take it again with the same name and
    // speed. The network link has nothing to hold (false).
    bool releaseLinkWhileRestarting();
    void retakeLink();
    // The unanswered commands: on serial, lets go of the port and takes it
    // again at once, name and speed as the last open (or the window) left
    // them. The network and USB links are aimed and taken as the run asks,
    // without identifying the printer: a fresh process has not opened them.
    void reopenBare();
    // Lets go of the serial port (the boot loader's answer, a window closing
    // the port), leaving the run's notion of an open link to the caller.
    void releaseSerialPort();
    // Names the serial port and its speed for the next bare open.
    void aimSerialPort(const std::string& portName, std::uint32_t speed);
    // Waits until the run's link has sent everything written, at most
    // `limit`; true when it has.
    bool waitUntilSent(std::chrono::milliseconds limit);

    // The link test's outcome, for whoever started it (waits until handled).
    void reportLinkFound();
    void reportLinkFailed();
    void ShowStatus(const std::string& text, std::int32_t done = 0, std::int32_t inAll = 0,
                    bool toParamBar = false);
    void AddLogLine(std::string line) { log_.addLine(std::move(line)); }
    void logTransfer(std::string_view verb, const std::uint8_t* bytes, std::size_t count)
    {
        log_.addTransfer(verb, bytes, count);
    }
    void pause(int milliseconds);

    bool portOpen() const { return portOpen_.load(); }
    void setPortOpen(bool open) { portOpen_ = open; }
    bool rawReceiveMode() const { return rawReceiveMode_.load(); }
    void setRawReceiveMode(bool on) { rawReceiveMode_ = on; }
    bool bootPollMode() const { return bootPollMode_.load(); }
    void setBootPollMode(bool on) { bootPollMode_ = on; }
    // The boot handshake's answer, "151" once the printer's loader replied;
    // the main window's boot timer reads and empties it.
    std::string bootReplyText() const
    {
        std::lock_guard lock(modelMutex_);
        return bootReply_;
    }
    void setBootReplyText(const std::string& text)
    {
        std::lock_guard lock(modelMutex_);
        bootReply_ = text;
    }

    // Raw receive mode: the first byte received since the last write, or -1.
    int rawFirstByte();
    // Forgets the raw bytes received, so an old answer is not read again.
    void clearRawReceive();

    // The worker's memory stream: what the last read-back collected.
    std::vector<std::uint8_t> memoryStream() const
    {
        std::lock_guard lock(memoryMutex_);
        return memoryStream_;
    }
    void setMemoryStream(std::vector<std::uint8_t> bytes)
    {
        std::lock_guard lock(memoryMutex_);
        memoryStream_ = std::move(bytes);
    }

    std::string DeviceModel() const;
    void setDeviceModel(const std::string& model);
    int deviceTypeNumber() const { return deviceType_.load(); }
    void setDeviceTypeNumber(int number) { deviceType_ = number; }

    const TransferLog& log() const { return log_; }
    std::string logPath() const;
    // Every block of a long transfer in "debug.log" (the command line's
    // --full-log); the bounded log otherwise.
    void keepFullLog(bool full) { log_.keepEveryBlock(full); }
    // The runs from now on add to the log, and so to "debug.log", after
    // `heading`, which opens a section of their own, instead of starting it
    // afresh: the probes after a failed command keep the command's own
    // exchanges. Until logRunsAfresh. Called between runs.
    void appendRunsToLog(std::string_view heading);
    void logRunsAfresh() { appendToLog_ = false; }
    // Writes "debug.log" now, telling logNotSaved when it cannot. Called
    // between runs.
    void saveLog();

private:
    RunId request(int operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver,
                  std::function<void(TCommThread&)> handler);
    void threadBody();
    void runOnce();
    void takeRunSettings();
    void attachUsbComponent();
    void refreshUsbList(bool arrival);
    // Bytes a stream link received while no run was going: one line per
    // chunk and per LF, CR dropped.
    void showUnsolicited(const std::uint8_t* bytes, std::size_t count);
    StreamReply::Context receiveContext();
    Link& requireLink();
    // The worker's side of a driver's opening (see LinkReach).
    class Reach;
    // Where the run's link is taken: the run's port, speeds and address, and
    // the USB device chosen now (not at the start of the run).
    LinkTarget runTarget() const;
    // Hands an event to the observer: through its dispatcher (waiting until
    // handled when `wait`), or at once without one.
    void deliver(std::function<void(const WorkerEvents&)> call, bool wait);
    WorkerFailure currentFailure() const;
    // Returns why the log could not be written, empty when it was.
    std::string saveLogNow();
    void tellLogNotSaved();

    std::shared_ptr<Dispatcher> uiDispatcher_;
    std::shared_ptr<ConnectionSettingsStore> settings_;
    std::string programFolder_;

    mutable std::mutex eventsMutex_;
    std::shared_ptr<const WorkerEvents> events_;    // guarded by eventsMutex_
    std::shared_ptr<Dispatcher> eventsDispatcher_;  // guarded by eventsMutex_

    std::unique_ptr<TComm> comm_;
    std::unique_ptr<TUSBComm> usb_;
    // A driver for every kind that has one, made once (link_factory.h).
    std::vector<std::unique_ptr<Link>> links_;
    Link* active_ = nullptr;  // worker thread: the run's link

    mutable std::mutex usbListMutex_;
    UsbDeviceListing usbList_;  // guarded by usbListMutex_

    // Request hand-off between StartOperation and the thread body.
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool requestPending_ = false;
    bool terminate_ = false;
    std::atomic<bool> busy_{false};
    RunId lastRun_ = 0;  // guarded by wakeMutex_
    std::atomic<RunId> currentRun_{0};

    std::atomic<int> operation_{0};
    std::int32_t argument1_ = 0;
    std::int32_t argument2_ = 0;
    HandOver handOver_;
    std::function<void(TCommThread&)> customHandler_;
    OperationTable operations_ = nullptr;
    int errorCode_ = 0;
    std::atomic<FailureKind> failureKind_{FailureKind::Other};
    // Worker thread: how far a stopped run got (read while the kind is
    // Stopped).
    std::int32_t stoppedDone_ = 0;
    std::int32_t stoppedInAll_ = 0;
    RunSettings run_;

    TransferLog log_;
    StatusBoard status_;
    std::mutex throttleMutex_;
    StatusThrottle throttle_;
    Sleeper sleeper_;  // empty: pauses wait on cancel_
    ManualResetEvent cancel_;

    std::atomic<bool> portOpen_{false};
    // Worker thread, per run: see noteSpeedSwitch.
    std::uint32_t switchedTo_ = 0;  // 0: no switch back owed
    bool switchHeard_ = false;      // the last switch away was confirmed
    std::uint32_t strandedAt_ = 0;
    bool unheard_ = false;  // worker thread, per run: see WorkerFailure::unheard
    std::vector<std::uint32_t> silentAt_;  // worker thread, per run: see noteAnswer
    std::atomic<bool> probing_{false};
    std::atomic<bool> appendToLog_{false};
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
