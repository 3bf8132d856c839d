#include "cli/cli_session.h"

#include <ostream>

#include "operations/operation_table.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "texts/engine_texts.h"
#include "texts/message_texts.h"
#include "transport/udp_client.h"

namespace pst::cli {

CliSession::CliSession(const CliOptions& options, std::ostream& out, std::ostream& err)
    : out_(out), err_(err), settings_(std::make_shared<ConnectionSettingsStore>())
{
    ConnectionSettings settings;
    settings.kind = options.link == CliLink::Network ? LinkKind::Network
        : options.link == CliLink::Usb               ? LinkKind::Usb
                                                     : LinkKind::Serial;
    settings.comName = options.serialPort;
    settings.ipAddress = options.udpHost;
    settings.port = options.udpPort;
    settings.usbDeviceId = options.usbDevice;
    settings.deviceSpeedText = options.deviceSpeed;
    settings.transferSpeedText = options.transferSpeed;
    settings_->set(settings);

    // The session plays the main window, which owns the network link.
    WorkerLinks links;
    links.udpClient = std::make_shared<TUdpClient>();
    worker_ =
        std::make_unique<TCommThread>(settings_, resolveProgramFolder(options.dataDir), std::move(links));
    worker_->SetOperationTable(&operationHandler);
    worker_->SetEvents(events());
}

WorkerEvents CliSession::events()
{
    WorkerEvents events;
    // Each announced text as it was then, not as the board reads later: a
    // fast link shows "Checking..." and "...Found" within the same moment.
    events.status = [this](const StatusUpdate& update) { printStatus(update.text); };
    events.unsolicitedLine = [this](const std::string& line) { out_ << line << '\n'; };
    events.logNotSaved = [this](const std::string& reason) {
        err_ << MessageText("sLogNotSavedMsg") << " (" << reason << ")\n";
    };
    events.done = [this] { finish(nullptr); };
    events.failed = [this](const WorkerFailure& failure) { finish(&failure); };
    return events;
}

void CliSession::finish(const WorkerFailure* failure)
{
    // Notified under the lock: the waiting thread may end the session (and
    // destroy the condition) as soon as it sees the run finished.
    std::lock_guard lock(endMutex_);
    finished_ = true;
    if (failure)
        failure_ = *failure;
    ended_.notify_all();
}

CliSession::~CliSession()
{
    // The worker's thread delivers the events that use the members below it:
    // it goes first.
    worker_.reset();
}

int CliSession::run(int operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver)
{
    {
        std::lock_guard lock(endMutex_);
        finished_ = false;
        failure_.reset();
    }
    if (!worker_->StartOperation(operation, argument1, argument2, std::move(handOver))) {
        err_ << MessageText("sBusyMsg") << '\n';
        return 1;
    }
    std::optional<WorkerFailure> failure;
    {
        std::unique_lock lock(endMutex_);
        ended_.wait(lock, [this] { return finished_; });
        failure = failure_;
    }
    // Texts shown within 70 ms of the previous one wait for a later event
    // that never comes once the run is over: show the last one now.
    printStatus(worker_->Status().status());
    if (failure) {
        err_ << EngineTextInLanguage(failure->text) << '\n';
        if (!failure->cause.empty() && failure->cause != failure->text)
            err_ << "  " << MessageText("sCauseMsg") << ": " << EngineTextInLanguage(failure->cause) << '\n';
    }
    return failure ? 1 : 0;
}

void CliSession::printStatus(const std::string& text)
{
    if (text.empty() || text == lastPrinted_)
        return;
    lastPrinted_ = text;
    out_ << text << std::endl;
}

void CliSession::aimSerialComponent(const CliOptions& options)
{
    const auto speed = parseInt32(options.deviceSpeed);
    worker_->AimSerialPort(options.serialPort, speed && *speed > 0 ? static_cast<std::uint32_t>(*speed) : 0);
}

}  // namespace pst::cli
