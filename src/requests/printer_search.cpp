#include "requests/printer_search.h"

#include <algorithm>
#include <memory>
#include <span>

#include "engine/comm_thread.h"
#include "engine/network_search.h"
#include "operations/operation.h"
#include "operations/operation_table.h"
#include "platform/int_conversion.h"
#include "protocol/address_range.h"
#include "protocol/search_speeds.h"

namespace pst::requests {

namespace {

constexpr std::uint16_t kPrinterPort = 5100;

}  // namespace

std::optional<std::vector<DatagramPeer>> addressNeighbourhood(const std::string& address,
                                                              const std::string& portText)
{
    const auto port = parseInt32(portText);
    const auto usedPort = port && *port >= 1 && *port <= 65535 ? static_cast<std::uint16_t>(*port) : kPrinterPort;
    // The range parser reads a bare address strictly; a prefix or a port in
    // the address box is not an address.
    if (address.find_first_of("/:") != std::string::npos)
        return std::nullopt;
    const AddressRangeParse parsed = parseAddressRange(address + "/24", usedPort);
    if (!parsed.range)
        return std::nullopt;
    std::vector<DatagramPeer> peers;
    for (const std::uint32_t each : parsed.range->addresses())
        peers.push_back({each, parsed.range->port});
    return peers;
}

PrinterSearch::PrinterSearch(SearchPlan plan, std::string programFolder, SearchEvents events)
    : plan_(std::move(plan)), programFolder_(std::move(programFolder)), events_(std::move(events))
{
}

PrinterSearch::~PrinterSearch()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

void PrinterSearch::start()
{
    thread_ = std::thread([this] { run(); });
}

void PrinterSearch::cancel()
{
    cancelled_ = true;
    std::lock_guard lock(mutex_);
    wake_.notify_all();
}

void PrinterSearch::run()
{
    if (!plan_.serialPorts.empty())
        searchSerial();
    else if (!plan_.usbDevices.empty())
        searchUsb();
    else if (!plan_.peers.empty())
        searchNetwork();
    if (events_.finished)
        events_.finished(cancelled_.load());
}

PrinterSearch::Attempt PrinterSearch::linkTest(const ConnectionSettings& settings)
{
    auto store = std::make_shared<ConnectionSettingsStore>();
    store->set(settings);
    {
        std::lock_guard lock(mutex_);
        runEnded_ = false;
        runFailure_.reset();
        runUnheard_ = false;
    }
    // Serial and USB only: the network is asked without a worker.
    WorkerLinks links;
    links.watchUsbDevices = false;
    // A worker per attempt: dropping it is what ends an attempt at once when
    // the search is cancelled.
    auto worker = std::make_unique<TCommThread>(store, programFolder_, std::move(links));
    worker->setOperationTable(&operationHandler);
    WorkerEvents events;
    events.done = [this](const RunOutcome&) {
        std::lock_guard lock(mutex_);
        runEnded_ = true;
        wake_.notify_all();
    };
    events.failed = [this](const WorkerFailure& failure) {
        std::lock_guard lock(mutex_);
        runEnded_ = true;
        runFailure_ = failure.cause.empty() || failure.cause == failure.text
            ? failure.text
            : failure.text + " (" + failure.cause + ")";
        runUnheard_ = failure.unheard;
        wake_.notify_all();
    };
    worker->setEvents(std::move(events));

    Attempt attempt;
    if (!worker->StartOperation(Operation::LinkTest, 0, 0))
        return attempt;
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return runEnded_ || cancelled_.load(); });
    if (!runEnded_) {
        lock.unlock();
        return attempt;  // the worker goes with the attempt, cancelled
    }
    if (!runFailure_) {
        attempt.answered = true;
        lock.unlock();
        attempt.model = worker->DeviceModel();
        return attempt;
    }
    attempt.portUnusable = !runUnheard_;
    attempt.reason = *runFailure_;
    return attempt;
}

void PrinterSearch::searchSerial()
{
    const std::vector<std::uint32_t> speeds = searchOrder(plan_.firstSpeed);
    all_ = plan_.serialPorts.size() * speeds.size();
    for (const std::string& port : plan_.serialPorts) {
        std::size_t tried = 0;
        for (const std::uint32_t speed : speeds) {
            if (cancelled_)
                return;
            if (events_.progress)
                events_.progress(port + " " + std::to_string(speed), done_, all_);
            ConnectionSettings settings;
            settings.kind = LinkKind::Serial;
            settings.comName = port;
            settings.deviceSpeed = settings.transferSpeed = speed;
            Attempt attempt = linkTest(settings);
            // A late reply to the probe at an earlier speed lands in
            // whichever probe is waiting when it comes: the speed is the
            // printer's only when a second probe is answered too.
            if (attempt.answered && !cancelled_)
                attempt = linkTest(settings);
            ++tried;
            ++done_;
            if (cancelled_)
                return;
            if (attempt.answered) {
                if (events_.found)
                    events_.found({LinkKind::Serial, port, 0, speed, attempt.model.value_or("")});
                break;
            }
            if (attempt.portUnusable) {
                if (events_.unusable)
                    events_.unusable(port, attempt.reason);
                break;
            }
        }
        // A port that answered or could not be opened needs no other speed.
        done_ += speeds.size() - tried;
    }
    if (events_.progress && !cancelled_)
        events_.progress({}, done_, all_);
}

void PrinterSearch::searchUsb()
{
    all_ = plan_.usbDevices.size();
    for (const std::string& device : plan_.usbDevices) {
        if (cancelled_)
            return;
        if (events_.progress)
            events_.progress(device, done_, all_);
        ConnectionSettings settings;
        settings.kind = LinkKind::Usb;
        settings.usbDeviceId = device;
        const Attempt attempt = linkTest(settings);
        ++done_;
        if (cancelled_)
            return;
        if (attempt.answered && events_.found)
            events_.found({LinkKind::Usb, device, 0, std::nullopt, attempt.model.value_or("")});
        else if (!attempt.answered && events_.unusable)
            events_.unusable(device, attempt.reason);
    }
    if (events_.progress)
        events_.progress({}, done_, all_);
}

void PrinterSearch::searchNetwork()
{
    all_ = plan_.peers.size();
    // A block at a time, as many as are asked at once: a cancel waits for
    // one block's answers at most.
    const std::size_t block = std::max<std::size_t>(1, plan_.networkLimits.inFlight);
    const std::span<const DatagramPeer> peers(plan_.peers);
    for (std::size_t first = 0; first < peers.size(); first += block) {
        if (cancelled_)
            return;
        const auto part = peers.subspan(first, std::min(block, peers.size() - first));
        const auto progress = [&](std::size_t settled, std::size_t) {
            if (events_.progress)
                events_.progress(dottedAddress(part.front().address) + " - " + dottedAddress(part.back().address),
                                 first + settled, all_);
        };
        std::vector<NetworkPrinter> answered;
        try {
            answered = SearchNetwork(part, plan_.networkLimits, progress);
        } catch (const std::exception& failure) {
            if (events_.unusable)
                events_.unusable(dottedAddress(part.front().address), failure.what());
            return;
        }
        for (const NetworkPrinter& printer : answered)
            if (events_.found)
                events_.found({LinkKind::Network, dottedAddress(printer.peer.address), printer.peer.port,
                               std::nullopt, printer.model});
        done_ = first + part.size();
    }
    if (events_.progress)
        events_.progress({}, done_, all_);
}

}  // namespace pst::requests
