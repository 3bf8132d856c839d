// The worker's link layer: opening and closing the chosen link, the speed
// switch around every operation, writes, reply assembly and status texts.

#include <algorithm>
#include <stdexcept>

#include "engine/comm_thread.h"
#include "engine/window_messages.h"
#include "engine/link_setup.h"
#include "transport/comm.h"
#include "transport/udp_client.h"
#include "transport/usb_comm.h"

namespace pst {

void TCommThread::OpenLink(const std::string& portName, std::uint32_t transferSpeed)
{
    if (run_.network) {
        TUdpClient& udp = Udp();
        portOpen_ = true;
        udp.SetHost(run_.ipAddress);
        udp.SetPort(run_.port);
        udp.SetActive(true);
        Identify(*this);
        return;
    }
    if (run_.usb) {
        // The device chosen now, not at the start of the run.
        usb_->SelectDevice(settings_->get().usbDeviceId);
        if (portOpen_)
            usb_->CloseDevice();
        usb_->OpenDevice();
        portOpen_ = true;
        Pause(100);
        Identify(*this);
        return;
    }
    if (!run_.serial)
        throw std::runtime_error("The parallel port is not supported");

    comm_->SetCommName(portName);
    comm_->SetBaudRate(run_.deviceSpeed);
    if (portOpen_)
        comm_->ClosePort();
    comm_->OpenPort();
    portOpen_ = true;
    if (operation_.load() != 0)
        AddLogLine("Open" + portName + timeStampNow());
    Pause(30);
    SwitchLinkSpeed(*this, transferSpeed);
    Identify(*this);
}

void TCommThread::RestoreLinkSpeed()
{
    SwitchLinkSpeed(*this, run_.deviceSpeed);
}

void TCommThread::CloseLink()
{
    if (run_.network && udp_)
        udp_->SetActive(false);
    // The USB device stays open between operations; the next open finds it.
    if (run_.serial || run_.usb) {
        comm_->ClosePort();
        if (portOpen_ && operation_.load() != 0)
            AddLogLine("Close" + comm_->CommName() + timeStampNow());
    }
    portOpen_ = false;
}

void TCommThread::OpenSerialAtDeviceSpeed(const std::string& portName)
{
    comm_->SetCommName(portName);
    comm_->SetBaudRate(run_.deviceSpeed);
    if (portOpen_)
        comm_->ClosePort();
    comm_->OpenPort();
    portOpen_ = true;
    if (operation_.load() != 0)
        Pause(30);
}

void TCommThread::WriteBytes(const std::uint8_t* bytes, std::size_t count)
{
    {
        std::lock_guard lock(replyMutex_);
        reply_.reset();
        replyEvent_.reset();
    }
    log_.addTransfer("Send", bytes, count);
    // The component takes at most 65535 bytes a call; this program writes at
    // most 2049 at a time. Its result is not examined: on a closed link
    // nothing is sent and the exchange times out.
    const auto length = static_cast<std::uint16_t>(std::min<std::size_t>(count, 65535));
    if (run_.network) {
        try {
            Udp().SendDatagram(bytes, count);
            droppedSendError_.clear();
        } catch (const std::exception& failure) {
            // The exchange ends by its time-out; the reason is kept for the
            // failure's cause, on one line.
            std::string reason = failure.what();
            for (std::size_t at; (at = reason.find("\r\n")) != std::string::npos;)
                reason.replace(at, 2, " ");
            droppedSendError_ = reason;
        }
    } else if (run_.usb && count > 0) {
        usb_->SendData(bytes, length);
    } else if (run_.serial && count > 0) {
        comm_->SendData(bytes, length);
    }
}

WaitResult TCommThread::WaitForReply(std::chrono::milliseconds timeout)
{
    return replyEvent_.wait(timeout);
}

std::size_t TCommThread::ReceiveDatagram(std::uint8_t* buffer, std::size_t size, int timeoutMs)
{
    return Udp().ReceiveDatagram(buffer, size, timeoutMs);
}

TUdpClient& TCommThread::Udp()
{
    if (!udp_)
        throw std::runtime_error("The network link is not available: no UDP client was given to the worker");
    return *udp_;
}

std::uint32_t TCommThread::TakeReplyPayload(std::uint8_t* out, std::size_t capacity)
{
    std::lock_guard lock(replyMutex_);
    const std::uint32_t n = reply_.payloadLength();
    std::copy_n(reply_.payload(), std::min<std::size_t>(n, capacity), out);
    return n;
}

void TCommThread::OnSerialData(const std::uint8_t* bytes, std::size_t count)
{
    if (rawReceiveMode_) {
        log_.addTransfer("Receive", bytes, count);
        std::lock_guard lock(replyMutex_);
        reply_.storeRaw(bytes, count);
        return;
    }
    AcceptReplyBytes(bytes, count);
}

void TCommThread::OnUsbData(const std::uint8_t* bytes, std::size_t count)
{
    // The USB link has no raw receive mode.
    AcceptReplyBytes(bytes, count);
}

void TCommThread::AcceptReplyBytes(const std::uint8_t* bytes, std::size_t count)
{
    if (operation_.load() == 0) {
        ShowUnsolicited(bytes, count);
        return;
    }
    log_.addTransfer("Receive", bytes, count);
    std::lock_guard lock(replyMutex_);
    if (reply_.feed(bytes, count))
        replyEvent_.set();
}

void TCommThread::ShowUnsolicited(const std::uint8_t* bytes, std::size_t count)
{
    std::function<void(const std::string&)> monitor;
    {
        std::lock_guard lock(targetMutex_);
        monitor = monitor_;
    }
    if (!monitor)
        return;
    // Each chunk starts a new line; CR is dropped, LF ends a line.
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] == 0x0A) {
            monitor(line);
            line.clear();
        } else if (bytes[i] != 0x0D) {
            line.push_back(static_cast<char>(bytes[i]));
        }
    }
    if (!line.empty())
        monitor(line);
}

void TCommThread::ShowStatus(const std::string& text, std::int32_t done, std::int32_t inAll, bool toParamBar)
{
    const std::string composed = composeProgressText(text, done, inAll);
    if (toParamBar) {
        TextSink sink;
        {
            std::lock_guard lock(targetMutex_);
            sink = paramBar_;
        }
        if (sink.dispatcher && sink.show)
            sink.dispatcher->post([show = sink.show, composed] { show(composed); });
        return;
    }
    status_.setStatus(composed);
    bool post;
    {
        std::lock_guard lock(throttleMutex_);
        post = throttle_.shouldPost(done, inAll);
    }
    if (!post)
        return;
    TextSink sink;
    {
        std::lock_guard lock(targetMutex_);
        sink = statusSink_;
    }
    if (sink.dispatcher && sink.show)
        sink.dispatcher->post([show = sink.show, composed] { show(composed); });
    PostMessage(UM_STATUS, 0, 0);
}

void TCommThread::SetStatusSink(TextSink sink)
{
    std::lock_guard lock(targetMutex_);
    statusSink_ = std::move(sink);
}

}  // namespace pst
