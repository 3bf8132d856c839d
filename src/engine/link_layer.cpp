// The worker's link layer: opening and closing the run's link, the speed
// switch around every operation, writes, unsolicited lines and status texts.

#include <stdexcept>

#include "engine/comm_thread.h"
#include "engine/link_kinds.h"
#include "engine/link_setup.h"
#include "transport/comm.h"

namespace pst {

class TCommThread::Reach final : public LinkReach {
public:
    explicit Reach(TCommThread& worker) : worker_(worker) { }

    void markOpen() override { worker_.portOpen_ = true; }
    void logOpen(const std::string& name) override
    {
        if (worker_.operation_.load() != 0)
            worker_.AddLogLine("Open" + name + timeStampNow());
    }
    void pause(int milliseconds) override { worker_.pause(milliseconds); }
    bool probing() const override { return worker_.probing(); }
    void reachPrinter(std::optional<std::uint32_t> switchTo) override
    {
        try {
            if (switchTo)
                SwitchLinkSpeed(worker_, *switchTo);
            Identify(worker_);
        } catch (...) {
            worker_.unheard_ = true;
            throw;
        }
    }

private:
    TCommThread& worker_;
};

Link& TCommThread::requireLink()
{
    // A kind the window offers but no driver serves (the parallel port).
    if (!active_)
        throw std::runtime_error("The " + std::string(linkKindInfo(run_.kind).name) + " port is not supported");
    return *active_;
}

LinkTarget TCommThread::runTarget() const
{
    LinkTarget target;
    target.portName = run_.comName;
    target.speed = run_.deviceSpeed;
    target.transferSpeed = run_.transferSpeed;
    target.host = run_.ipAddress;
    target.port = run_.port;
    target.usbDeviceId = settings_->get().usbDeviceId;
    return target;
}

void TCommThread::OpenLink(const std::string& portName, std::uint32_t transferSpeed)
{
    Link& link = requireLink();
    LinkTarget target = runTarget();
    target.portName = portName;
    target.transferSpeed = transferSpeed;
    target.letGoFirst = portOpen_;
    Reach reach(*this);
    link.openAndReach(target, reach);
}

void TCommThread::RestoreLinkSpeed()
{
    SwitchLinkSpeed(*this, run_.deviceSpeed);
}

void TCommThread::CloseLink()
{
    switchBackIfStillSwitched();
    if (active_)
        active_->close();
    if (active_ && active_->logsClose() && portOpen_ && operation_.load() != 0)
        AddLogLine("Close" + comm_->CommName() + timeStampNow());
    portOpen_ = false;
}

void TCommThread::OpenSerialAtDeviceSpeed(const std::string& portName)
{
    LinkTarget target;
    target.portName = portName;
    target.speed = run_.deviceSpeed;
    target.letGoFirst = portOpen_;
    requireLink().open(target);
    portOpen_ = true;
    if (operation_.load() != 0)
        pause(30);
}

bool TCommThread::WriteBytes(const std::uint8_t* bytes, std::size_t count)
{
    // What came before belongs before this write, in the log as on the line.
    if (active_)
        active_->beforeWrite({bytes, count});
    log_.addTransfer("Send", bytes, count);
    return active_ && active_->write(bytes, count);
}

std::uint32_t TCommThread::lineSpeed() const
{
    return active_ ? active_->speed() : 0;
}

void TCommThread::setLineSpeed(std::uint32_t speed)
{
    if (active_)
        active_->setSpeed(speed);
}

bool TCommThread::linkHasLineSpeed() const
{
    return active_ && linkKindInfo(active_->kind()).hasLineSpeed;
}

void TCommThread::noteSpeedSwitch(std::uint32_t speed, bool confirmed)
{
    // A switch may have been heard though its answer was lost: the printer
    // may be at `speed` now, whatever it said there before.
    if (!confirmed)
        std::erase(silentAt_, speed);
    if (speed != run_.deviceSpeed) {
        switchedTo_ = speed;
        switchHeard_ = confirmed;
        return;
    }
    // A switch back is tried once: whatever came of it, none is owed now.
    switchedTo_ = 0;
    if (!confirmed && switchHeard_)
        strandedAt_ = lineSpeed();
}

void TCommThread::forgetSpeedSwitch()
{
    switchedTo_ = 0;
}

void TCommThread::switchBackIfStillSwitched()
{
    if (switchedTo_ == 0)
        return;
    if (!linkHasLineSpeed() || !portOpen_) {
        switchedTo_ = 0;
        return;
    }
    // Unconfirmed, the switch away may still have been heard: the printer
    // is asked back at the speed it may have moved to. If it never moved,
    // it hears nothing and stays where it is, at the device speed.
    try {
        if (!switchHeard_)
            setLineSpeed(switchedTo_);
        SwitchLinkSpeed(*this, run_.deviceSpeed);
    } catch (...) {
        // The link is let go all the same; noteSpeedSwitch has kept what
        // the run must tell.
        switchedTo_ = 0;
    }
}

void TCommThread::addToRunFailure(const std::string& line)
{
    if (errorCode_ == 0) {
        errorCode_ = 1;
        failureKind_ = FailureKind::Exchange;
        SetErrorText(line);
        return;
    }
    const std::string text = status_.error();
    // The cause stays what lay behind the first failure; when it said no
    // more than the error text, it keeps saying no more.
    if (status_.failureCause() == text)
        status_.setFailureCause(text + "\n" + line);
    SetErrorText(text.empty() ? line : text + "\n" + line);
}

bool TCommThread::releaseLinkWhileRestarting()
{
    return active_ && active_->letGoWhileRestarting();
}

void TCommThread::retakeLink()
{
    // Same device, or same port name and speed as before: the components
    // keep both.
    if (active_)
        active_->retake();
    portOpen_ = true;
}

void TCommThread::reopenBare()
{
    if (!active_)
        return;
    Reach reach(*this);
    active_->reopenBare(runTarget(), reach);
    portOpen_ = true;
}

void TCommThread::releaseSerialPort()
{
    comm_->ClosePort();
}

void TCommThread::aimSerialPort(const std::string& portName, std::uint32_t speed)
{
    comm_->setCommName(portName);
    if (speed > 0)
        comm_->setBaudRate(speed);
}

bool TCommThread::waitUntilSent(std::chrono::milliseconds limit)
{
    return !active_ || active_->waitUntilSent(limit);
}

void TCommThread::showUnsolicited(const std::uint8_t* bytes, std::size_t count)
{
    // Each chunk starts a new line; CR is dropped, LF ends a line.
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] == 0x0A) {
            lines.push_back(std::move(line));
            line.clear();
        } else if (bytes[i] != 0x0D) {
            line.push_back(static_cast<char>(bytes[i]));
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    for (auto& text : lines) {
        deliver(
            [text = std::move(text)](const WorkerEvents& events) {
                if (events.unsolicitedLine)
                    events.unsolicitedLine(text);
            },
            false);
    }
}

void TCommThread::ShowStatus(const std::string& text, std::int32_t done, std::int32_t inAll, bool toParamBar)
{
    StatusUpdate update{currentRun(), composeProgressText(text, done, inAll), done, inAll,
                        toParamBar ? StatusPanel::ParamBar : StatusPanel::Main};
    if (!toParamBar) {
        status_.setStatus(update.text);
        bool post;
        {
            std::lock_guard lock(throttleMutex_);
            post = throttle_.shouldPost(done, inAll);
        }
        if (!post)
            return;
    }
    deliver(
        [update = std::move(update)](const WorkerEvents& events) {
            if (events.status)
                events.status(update);
        },
        false);
}

}  // namespace pst
