// The worker's link layer: opening and closing the run's link, the speed
// switch around every operation, writes, unsolicited lines and status texts.

#include <stdexcept>

#include "engine/comm_thread.h"
#include "engine/link_setup.h"
#include "engine/network_link.h"
#include "engine/serial_link.h"
#include "engine/usb_link.h"
#include "transport/comm.h"
#include "transport/usb_comm.h"

namespace pst {

Link& TCommThread::RequireLink()
{
    if (!active_)
        throw std::runtime_error("The parallel port is not supported");
    return *active_;
}

LinkTarget TCommThread::NetworkOrUsbTarget(LinkKind kind) const
{
    LinkTarget target;
    if (kind == LinkKind::Network) {
        target.host = run_.ipAddress;
        target.port = run_.port;
    } else if (kind == LinkKind::Usb) {
        target.usbDeviceId = settings_->get().usbDeviceId;
    }
    return target;
}

void TCommThread::OpenLink(const std::string& portName, std::uint32_t transferSpeed)
{
    Link& link = RequireLink();
    LinkTarget target = NetworkOrUsbTarget(link.kind());
    target.letGoFirst = portOpen_;
    switch (link.kind()) {
    case LinkKind::Network:
        portOpen_ = true;
        link.open(target);
        ReachPrinter([this] { Identify(*this); });
        return;
    case LinkKind::Usb:
        link.open(target);
        portOpen_ = true;
        Pause(100);
        ReachPrinter([this] { Identify(*this); });
        return;
    default:
        break;
    }
    target.portName = portName;
    target.speed = run_.deviceSpeed;
    link.open(target);
    portOpen_ = true;
    if (operation_.load() != 0)
        AddLogLine("Open" + portName + timeStampNow());
    if (!Probing())
        Pause(30);
    ReachPrinter([&] {
        SwitchLinkSpeed(*this, transferSpeed);
        Identify(*this);
    });
}

void TCommThread::ReachPrinter(const std::function<void()>& firstExchanges)
{
    try {
        firstExchanges();
    } catch (...) {
        unheard_ = true;
        throw;
    }
}

void TCommThread::RestoreLinkSpeed()
{
    SwitchLinkSpeed(*this, run_.deviceSpeed);
}

void TCommThread::CloseLink()
{
    SwitchBackIfStillSwitched();
    if (active_)
        active_->close();
    // Closing on USB lets go of the serial port too, and logs it as closed,
    // as it always has; the USB device itself stays open between operations.
    if (active_ && active_->kind() == LinkKind::Usb)
        comm_->ClosePort();
    if (active_ && active_->kind() != LinkKind::Network && portOpen_ && operation_.load() != 0)
        AddLogLine("Close" + comm_->CommName() + timeStampNow());
    portOpen_ = false;
}

void TCommThread::OpenSerialAtDeviceSpeed(const std::string& portName)
{
    LinkTarget target;
    target.portName = portName;
    target.speed = run_.deviceSpeed;
    target.letGoFirst = portOpen_;
    serialLink_->open(target);
    portOpen_ = true;
    if (operation_.load() != 0)
        Pause(30);
}

bool TCommThread::WriteBytes(const std::uint8_t* bytes, std::size_t count)
{
    // What came before belongs before this write, in the log as on the line.
    if (active_)
        active_->beforeWrite({bytes, count});
    log_.addTransfer("Send", bytes, count);
    return active_ && active_->write(bytes, count);
}

std::uint32_t TCommThread::LineSpeed() const
{
    return serialLink_->speed();
}

void TCommThread::SetLineSpeed(std::uint32_t speed)
{
    serialLink_->setSpeed(speed);
}

bool TCommThread::OnSerialLink() const
{
    return active_ && active_->kind() == LinkKind::Serial;
}

void TCommThread::NoteSpeedSwitch(std::uint32_t speed, bool confirmed)
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
        strandedAt_ = LineSpeed();
}

void TCommThread::ForgetSpeedSwitch()
{
    switchedTo_ = 0;
}

void TCommThread::SwitchBackIfStillSwitched()
{
    if (switchedTo_ == 0)
        return;
    if (!OnSerialLink() || !portOpen_) {
        switchedTo_ = 0;
        return;
    }
    // Unconfirmed, the switch away may still have been heard: the printer
    // is asked back at the speed it may have moved to. If it never moved,
    // it hears nothing and stays where it is, at the device speed.
    try {
        if (!switchHeard_)
            SetLineSpeed(switchedTo_);
        SwitchLinkSpeed(*this, run_.deviceSpeed);
    } catch (...) {
        // The link is let go all the same; NoteSpeedSwitch has kept what
        // the run must tell.
        switchedTo_ = 0;
    }
}

void TCommThread::AddToRunFailure(const std::string& line)
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

bool TCommThread::ReleaseLinkWhileRestarting()
{
    if (!active_ || active_->kind() == LinkKind::Network || active_->kind() == LinkKind::Parallel)
        return false;
    if (active_->kind() == LinkKind::Usb)
        usb_->CloseDevice();
    else
        comm_->ClosePort();
    return true;
}

void TCommThread::RetakeLink()
{
    // Same device, or same port name and speed as before: the components
    // keep both.
    if (active_ && active_->kind() == LinkKind::Usb)
        usb_->OpenDevice();
    else
        comm_->OpenPort();
    portOpen_ = true;
}

void TCommThread::ReopenBare()
{
    if (!active_)
        return;
    switch (active_->kind()) {
    case LinkKind::Network:
    case LinkKind::Usb:
        active_->open(NetworkOrUsbTarget(active_->kind()));
        portOpen_ = true;
        return;
    case LinkKind::Serial:
        break;
    default:
        return;
    }
    comm_->ClosePort();
    Pause(10);
    comm_->OpenPort();
    portOpen_ = true;
}

void TCommThread::ReleaseSerialPort()
{
    comm_->ClosePort();
}

void TCommThread::AimSerialPort(const std::string& portName, std::uint32_t speed)
{
    comm_->SetCommName(portName);
    if (speed > 0)
        comm_->SetBaudRate(speed);
}

bool TCommThread::WaitUntilSent(std::chrono::milliseconds limit)
{
    return !active_ || active_->waitUntilSent(limit);
}

void TCommThread::ShowUnsolicited(const std::uint8_t* bytes, std::size_t count)
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
        Deliver(
            [text = std::move(text)](const WorkerEvents& events) {
                if (events.unsolicitedLine)
                    events.unsolicitedLine(text);
            },
            false);
    }
}

void TCommThread::ShowStatus(const std::string& text, std::int32_t done, std::int32_t inAll, bool toParamBar)
{
    StatusUpdate update{CurrentRun(), composeProgressText(text, done, inAll), done, inAll,
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
    Deliver(
        [update = std::move(update)](const WorkerEvents& events) {
            if (events.status)
                events.status(update);
        },
        false);
}

}  // namespace pst
