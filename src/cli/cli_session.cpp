#include "cli/cli_session.h"

#include <ostream>

#include "engine/window_messages.h"
#include "operations/operation_table.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "transport/comm.h"
#include "transport/udp_client.h"

namespace pst::cli {

CliSession::CliSession(const CliOptions& options, std::ostream& out, std::ostream& err)
    : out_(out),
      err_(err),
      dispatcher_(Dispatcher::current()),
      settings_(std::make_shared<ConnectionSettingsStore>())
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

    auto target = std::make_shared<MessageTarget>(
        dispatcher_,
        [this](unsigned message, std::intptr_t w, std::intptr_t l) { onMessage(message, w, l); });
    // The session plays the main window, which owns the network link.
    WorkerLinks links;
    links.udpClient = std::make_shared<TUdpClient>();
    worker_ = std::make_unique<TCommThread>(target, settings_, resolveProgramFolder(options.dataDir),
                                            std::move(links));
    worker_->SetOperationTable(&operationHandler);
    worker_->SetParamBarSink({dispatcher_, [this](const std::string& text) { printStatus(text); }});
    // Each announced text as it was then, not as the board reads later: a
    // fast link shows "Checking..." and "...Found" within the same moment.
    worker_->SetStatusSink({dispatcher_, [this](const std::string& text) { printStatus(text); }});
    worker_->SetMonitorSink([this](const std::string& line) { out_ << line << '\n'; });
}

CliSession::~CliSession() = default;

int CliSession::run(int operation, std::int32_t argument1, std::int32_t argument2, HandOver handOver)
{
    finished_ = false;
    failed_ = false;
    if (!worker_->StartOperation(operation, argument1, argument2, std::move(handOver))) {
        err_ << "The printer is busy with another operation\n";
        return 1;
    }
    dispatcher_->runUntil([this] { return finished_; });
    // Texts shown within 70 ms of the previous one wait for a later message
    // that never comes once the run is over: show the last one now.
    printStatus(worker_->Status().status());
    if (failed_) {
        const std::string error = worker_->Status().error();
        const std::string cause = worker_->Status().failureCause();
        err_ << error << '\n';
        if (!cause.empty() && cause != error)
            err_ << "  cause: " << cause << '\n';
    }
    return failed_ ? 1 : 0;
}

void CliSession::printStatus(const std::string& text)
{
    if (text.empty() || text == lastPrinted_)
        return;
    lastPrinted_ = text;
    out_ << text << std::endl;
}

void CliSession::onMessage(unsigned message, std::intptr_t, std::intptr_t)
{
    switch (message) {
    case UM_OP_DONE:
        finished_ = true;
        break;
    case UM_OP_FAILED:
        failed_ = true;
        finished_ = true;
        break;
    case UM_LOG_NOT_SAVED:
        err_ << "warning: the transfer log could not be saved (" << worker_->Status().logSaveError() << ")\n";
        break;
    default:
        break;
    }
}

void CliSession::aimSerialComponent(const CliOptions& options)
{
    TComm& comm = worker_->Comm();
    comm.SetCommName(options.serialPort);
    if (const auto speed = parseInt32(options.deviceSpeed); speed && *speed > 0)
        comm.SetBaudRate(static_cast<std::uint32_t>(*speed));
}

}  // namespace pst::cli
