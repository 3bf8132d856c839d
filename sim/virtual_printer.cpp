#include "virtual_printer.h"

#include "device_link.h"
#include "line_speeds.h"
#include "printer_core.h"
#include "pty_endpoint.h"
#include "reply_sender.h"
#include "state_file.h"
#include "wake_pipe.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <mutex>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <thread>
#include <utility>

namespace pst::sim {
namespace {

constexpr std::size_t kModelLimit = 8;

PrinterState initialState(const SimOptions& opts)
{
    PrinterState state;
    state.model = opts.model;
    state.startSpeed = opts.speed;
    state.speed = opts.speed;
    state.fault = opts.fault;
    return state;
}

}  // namespace

struct VirtualPrinter::Impl {
    explicit Impl(SimOptions options) : opts(std::move(options)), core(initialState(opts)) { }

    void serve();
    bool serveReadable();
    bool answer(const ParsedFrame& request);
    void persist();

    const SimOptions opts;
    PrinterCore core;

    std::mutex lifecycle;  // start/stop against each other
    std::mutex writing;    // replies and unsolicited bytes never interleave
    bool started = false;
    bool stopped = false;
    std::string device;
    std::unique_ptr<WakePipe> stop;
    std::unique_ptr<PtyEndpoint> endpoint;
    std::optional<DeviceLink> link;
    std::thread thread;
    bool persistFailed = false;  // serving thread only
};

void VirtualPrinter::Impl::serve()
{
    try {
        while (true) {
            pollfd fds[2] = {{endpoint->readFd(), POLLIN, 0}, {stop->fd(), POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                throw std::runtime_error(std::string("poll failed: ") + std::strerror(errno));
            }
            if (fds[1].revents != 0)
                return;
            if ((fds[0].revents & POLLNVAL) != 0) {
                throw std::runtime_error("pseudo-terminal closed unexpectedly");
            }
            if (fds[0].revents != 0 && !serveReadable())
                return;
        }
    } catch (const std::exception& e) {
        std::cerr << "pennafor-printer-sim: printer stopped: " << e.what() << std::endl;
    }
}

bool VirtualPrinter::Impl::serveReadable()
{
    std::array<std::uint8_t, 4096> buffer{};
    const std::size_t n = endpoint->readAvailable(buffer);
    if (n == 0)
        return true;
    // Checked now, not when the bytes were written: the host always sets its
    // speed before writing at it, so by the time the bytes can be read the
    // setting that produced them is in place.
    const auto intake = core.ingest(std::span(buffer).first(n), Clock::now(), endpoint->hostSpeed());
    if (intake.countersChanged)
        persist();
    for (const auto& request : intake.frames) {
        if (!answer(request))
            return false;
    }
    return true;
}

bool VirtualPrinter::Impl::answer(const ParsedFrame& request)
{
    const ReplyPlan plan = core.handle(request);
    bool sent = false;
    if (plan.transmission.send) {
        if (opts.pace && stop->waitUntil(plan.requestCompleteAt))
            return false;
        std::lock_guard lock(writing);
        sent = sendReply(*endpoint, plan.transmission, opts.pace ? plan.lineSpeed : 0, *stop);
        if (!sent)
            return false;
    }
    core.finish(plan, sent);
    persist();
    return true;
}

void VirtualPrinter::Impl::persist()
{
    if (opts.stateFile.empty())
        return;
    const std::string error = writeFileAtomically(opts.stateFile, core.json());
    if (!error.empty() && !persistFailed) {
        std::cerr << "pennafor-printer-sim: state file not written: " << error << std::endl;
    }
    persistFailed = !error.empty();
}

VirtualPrinter::VirtualPrinter(SimOptions opts) : impl_(std::make_unique<Impl>(std::move(opts))) { }

VirtualPrinter::~VirtualPrinter()
{
    stop();
}

void VirtualPrinter::start()
{
    std::lock_guard lock(impl_->lifecycle);
    Impl& d = *impl_;
    if (d.started)
        throw std::runtime_error("virtual printer already started");
    if (d.opts.model.size() > kModelLimit) {
        throw std::runtime_error("model name '" + d.opts.model + "' is longer than 8 characters");
    }
    if (!isPrinterSpeed(d.opts.speed)) {
        throw std::runtime_error("unsupported printer speed " + std::to_string(d.opts.speed));
    }
    d.stop = std::make_unique<WakePipe>();
    d.endpoint = std::make_unique<PtyEndpoint>(d.opts.speed);
    d.device = d.endpoint->slavePath();
    if (!d.opts.ptyLink.empty())
        d.link.emplace(d.opts.ptyLink, d.device);
    d.core.setDevice(d.device);
    d.persist();
    d.thread = std::thread([&d] { d.serve(); });
    d.started = true;
}

void VirtualPrinter::stop()
{
    std::lock_guard lock(impl_->lifecycle);
    Impl& d = *impl_;
    if (!d.started || d.stopped)
        return;
    d.stop->raise();
    d.thread.join();
    d.link.reset();
    d.endpoint.reset();
    d.stopped = true;
}

std::string VirtualPrinter::devicePath() const
{
    std::lock_guard lock(impl_->lifecycle);
    return impl_->device;
}

void VirtualPrinter::setFault(FaultSpec f)
{
    impl_->core.setFault(f);
}

unsigned VirtualPrinter::currentSpeed() const
{
    return impl_->core.speed();
}

std::vector<ReceivedFrame> VirtualPrinter::frames() const
{
    return impl_->core.inspect([](const PrinterState& s) {
        return std::vector<ReceivedFrame>(s.received.begin(), s.received.end());
    });
}

std::uint64_t VirtualPrinter::ignoredBytes() const
{
    return impl_->core.inspect([](const PrinterState& s) { return s.ignoredBytes; });
}

std::uint64_t VirtualPrinter::badFrames() const
{
    return impl_->core.inspect([](const PrinterState& s) { return s.badFrames; });
}

bool VirtualPrinter::sendUnsolicited(std::span<const std::uint8_t> bytes)
{
    std::lock_guard lifecycle(impl_->lifecycle);
    if (!impl_->started || impl_->stopped)
        return false;
    std::lock_guard lock(impl_->writing);
    return impl_->endpoint->writeAll(bytes, *impl_->stop);
}

std::string VirtualPrinter::stateJson() const
{
    return impl_->core.json();
}

bool VirtualPrinter::waitForFrames(std::size_t n, int timeoutMs) const
{
    return waitFor([n](const PrinterState& s) { return s.framesReceived >= n; }, timeoutMs);
}

bool VirtualPrinter::waitFor(const std::function<bool(const PrinterState&)>& ready, int timeoutMs) const
{
    return impl_->core.waitUntil(ready, std::chrono::milliseconds(timeoutMs));
}

}  // namespace pst::sim
