#include "virtual_printer.h"

#include "device_link.h"
#include "line_speeds.h"
#include "printer_core.h"
#include "pty_endpoint.h"
#include "reply_sender.h"
#include "udp_endpoint.h"
#include "wake_pipe.h"

#include "platform/atomic_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace pst::sim {
namespace {

constexpr std::size_t kModelLimit = 8;

// "127.0.0.1:5100" -> address and port.
std::pair<std::string, unsigned> splitHostPort(const std::string& text)
{
    const auto colon = text.rfind(':');
    const std::string port = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (colon == 0 || port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string::npos || std::stoul(port) > 65535)
        throw std::runtime_error("'" + text + "' is not ADDRESS:PORT");
    return {text.substr(0, colon), static_cast<unsigned>(std::stoul(port))};
}

PrinterState initialState(const SimOptions& opts)
{
    PrinterState state;
    state.model = opts.model;
    state.startSpeed = opts.speed;
    state.speed = opts.speed;
    state.fault = opts.fault;
    state.loader.active = opts.bootLoader;
    state.restartPause = std::chrono::milliseconds(opts.restartPauseMs);
    return state;
}

}  // namespace

struct VirtualPrinter::Impl {
    explicit Impl(SimOptions options) : opts(std::move(options)), core(initialState(opts)) { }

    void serve();
    bool serveSerial();
    bool serveNetwork();
    bool answer(const ParsedFrame& request, Endpoint& from, bool paced);
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
    std::unique_ptr<UdpEndpoint> udp;
    std::optional<DeviceLink> link;
    std::thread thread;
    bool persistFailed = false;  // serving thread only
    // The largest datagram there is; one buffer for all of them.
    std::vector<std::uint8_t> datagram = std::vector<std::uint8_t>(65536);
};

void VirtualPrinter::Impl::serve()
{
    // Pacing waits are as long as the wire would take; the timer slack the
    // system adds to timed waits by default (50 us) would make the line slow.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    try {
        while (true) {
            // Unused slots carry -1, which poll() skips.
            pollfd fds[3] = {{stop->fd(), POLLIN, 0},
                             {endpoint ? endpoint->readFd() : -1, POLLIN, 0},
                             {udp ? udp->readFd() : -1, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0) {
                if (errno == EINTR)
                    continue;
                throw std::runtime_error(std::string("poll failed: ") + std::strerror(errno));
            }
            if (fds[0].revents != 0)
                return;
            if ((fds[1].revents & POLLNVAL) != 0) {
                throw std::runtime_error("pseudo-terminal closed unexpectedly");
            }
            if (fds[1].revents != 0 && !serveSerial())
                return;
            if (fds[2].revents != 0 && !serveNetwork())
                return;
        }
    } catch (const std::exception& e) {
        std::cerr << "pennafor-printer-sim: printer stopped: " << e.what() << std::endl;
    }
}

bool VirtualPrinter::Impl::serveSerial()
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
    if (!intake.loaderAnswer.empty()) {
        std::lock_guard lock(writing);
        if (!endpoint->writeAll(intake.loaderAnswer, *stop))
            return false;
    }
    for (const auto& request : intake.frames) {
        if (!answer(request, *endpoint, opts.pace))
            return false;
    }
    return true;
}

bool VirtualPrinter::Impl::serveNetwork()
{
    const std::size_t n = udp->readAvailable(datagram);
    if (n == 0)
        return true;
    const auto intake = core.ingestDatagram(std::span(datagram).first(n), Clock::now());
    if (intake.countersChanged)
        persist();
    for (const auto& request : intake.frames) {
        // A network has no wire speed to keep to.
        if (!answer(request, *udp, false))
            return false;
    }
    return true;
}

bool VirtualPrinter::Impl::answer(const ParsedFrame& request, Endpoint& from, bool paced)
{
    const ReplyPlan plan = core.handle(request);
    bool sent = false;
    if (plan.transmission.send) {
        std::lock_guard lock(writing);
        sent = sendReply(from, plan.transmission, paced ? plan.lineSpeed : 0,
                         paced ? plan.requestCompleteAt : Clock::now(), *stop);
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
        std::cerr << "pennafor-printer-sim: state file " << opts.stateFile << " not written: " << error
                  << std::endl;
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
    if (!d.opts.servePty && d.opts.udpAddress.empty())
        throw std::runtime_error("the printer needs a pseudo-terminal, a UDP port or both");
    d.stop = std::make_unique<WakePipe>();
    if (d.opts.servePty) {
        d.endpoint = std::make_unique<PtyEndpoint>(d.opts.speed);
        d.device = d.endpoint->slavePath();
        if (!d.opts.ptyLink.empty())
            d.link.emplace(d.opts.ptyLink, d.device);
    }
    if (!d.opts.udpAddress.empty()) {
        const auto [host, port] = splitHostPort(d.opts.udpAddress);
        d.udp = std::make_unique<UdpEndpoint>(host, port);
        d.udp->setReplyFromOtherPort(d.opts.udpReplyFromOtherPort);
    }
    d.core.setDevice(d.endpoint ? d.device : "udp:" + d.udp->address());
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
    d.udp.reset();
    d.stopped = true;
}

std::string VirtualPrinter::devicePath() const
{
    std::lock_guard lock(impl_->lifecycle);
    return impl_->device;
}

unsigned VirtualPrinter::udpPort() const
{
    std::lock_guard lock(impl_->lifecycle);
    return impl_->udp ? impl_->udp->port() : 0;
}

void VirtualPrinter::setUdpReplyFromOtherPort(bool on)
{
    std::lock_guard lock(impl_->lifecycle);
    if (impl_->udp)
        impl_->udp->setReplyFromOtherPort(on);
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
    Endpoint& target = impl_->endpoint ? static_cast<Endpoint&>(*impl_->endpoint) : *impl_->udp;
    return target.writeAll(bytes, *impl_->stop);
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
