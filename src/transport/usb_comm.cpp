#include "transport/usb_comm.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/text_compare.h"
#include "transport/comm_channel.h"
#include "transport/usb_device_list.h"
#include "transport/usb_device_session.h"
#include "transport/usb_open_failure.h"
#include "transport/usb_uevent_monitor.h"

namespace pst {

namespace {

constexpr const char* kOpenFailed = "Error open USB DEVICE ";

// The USB component's side of its threads' notices, and of the device
// changes its monitor reports. It has no line errors, no modem lines and no
// hang-up event: a thread that fails just ends.
class UsbCommEvents final : public CommEvents {
public:
    explicit UsbCommEvents(TUSBComm& comm) : comm_(comm) { }

    void receiveData(const std::uint8_t* block, std::uint16_t length) override
    {
        if (comm_.OnReceiveData)
            comm_.OnReceiveData(comm_, block, length);
    }
    // A virtual serial node may count line errors; a USB device has no line.
    void receiveError(std::uint32_t) override { }
    void modemStateChange(std::uint32_t) override { }
    void requestHangup() override { }
    void sendDataEmpty() override
    {
        if (comm_.OnSendDataEmpty)
            comm_.OnSendDataEmpty(comm_);
    }
    void deviceChanged(UsbDeviceChange change)
    {
        auto& event = change == UsbDeviceChange::Arrival ? comm_.OnUSBArrival : comm_.OnUSBRemove;
        if (event)
            event(comm_);
    }

private:
    TUSBComm& comm_;
};

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string::npos)
            return parts;
        from = at + 1;
    }
}

// Drops the four characters of "VID_" or "PID_", whatever they are.
std::string afterPrefix(const std::string& part)
{
    return part.size() > 4 ? part.substr(4) : std::string();
}

}  // namespace

TUSBComm::TUSBComm(UsbSystemPaths paths, bool watchDevices)
    : paths_(std::move(paths)), dispatcher_(Dispatcher::current()), gate_(std::make_shared<CommEventGate>())
{
    gate_->events = std::make_unique<UsbCommEvents>(*this);
    if (watchDevices) {
        monitor_ = std::make_unique<UsbUeventMonitor>(
            [this](UsbDeviceChange change) { deviceChanged(change == UsbDeviceChange::Arrival); });
    }
}

TUSBComm::~TUSBComm()
{
    monitor_.reset();
    {
        std::lock_guard lock(gate_->mutex);
        gate_->events.reset();
    }
    CloseDevice();
}

void TUSBComm::setDirectReceiver(std::function<void(const std::uint8_t* bytes, std::size_t count)> receive)
{
    std::lock_guard lock(gate_->directMutex);
    gate_->direct = std::move(receive);
}

bool TUSBComm::watchingDevices() const
{
    return monitor_ && monitor_->listening();
}

void TUSBComm::injectDeviceEvent(std::string_view message)
{
    if (auto change = parseUsbUevent(message))
        deviceChanged(*change == UsbDeviceChange::Arrival);
}

void TUSBComm::deviceChanged(bool arrived)
{
    const UsbDeviceChange change = arrived ? UsbDeviceChange::Arrival : UsbDeviceChange::Removal;
    dispatcher_->post([gate = gate_, change] {
        std::lock_guard lock(gate->mutex);
        if (gate->events)
            static_cast<UsbCommEvents&>(*gate->events).deviceChanged(change);
    });
}

bool TUSBComm::ListDevices(std::vector<std::string>& list) const
{
    const auto entries = enumerateUsbDevices(paths_);
    list.clear();
    for (const auto& entry : entries)
        list.push_back(entry.identifier);
    return true;
}

bool TUSBComm::SelectDevice(const std::string& identifier)
{
    const auto parts = splitAt(identifier, '&');
    std::lock_guard lock(settingsMutex_);
    if (parts.size() >= 2) {
        vid_ = afterPrefix(parts[0]);
        pid_ = afterPrefix(parts[1]);
    } else {
        vid_.clear();
        pid_.clear();
    }
    subId_ = parts.size() == 3 ? parts[2] : std::string();
    nameId_.clear();
    return true;
}

void TUSBComm::OpenDevice()
{
    std::lock_guard device(deviceMutex_);
    if (session_)
        return;
    std::string pid;
    bool flowControl;
    {
        std::lock_guard settings(settingsMutex_);
        pid = pid_;
        flowControl = outxXonXoffFlow_;
    }

    UsbOpenFailure failure(pid);
    if (!pid.empty()) {
        for (const auto& entry : enumerateUsbDevices(paths_)) {
            // The path is upper-cased, the search text is not: a lower-case
            // product id never matches.
            if (entry.path.find(pid) == std::string::npos)
                continue;
            failure.matched(entry.identifier);
            for (const auto& node : entry.nodes) {
                int error = 0;
                session_ = UsbDeviceSession::open(node, flowControl, CommNotifier(dispatcher_, gate_),
                                                  sendQueueEmpty_, error);
                if (session_) {
                    open_.store(true);
                    return;
                }
                failure.refused(node, error);
            }
        }
    }
    const std::string gap = usbListingGap();
    throw ECommsError(kOpenFailed, gap.empty() ? failure.detail() : gap);
}

void TUSBComm::CloseDevice()
{
    std::lock_guard device(deviceMutex_);
    if (!session_)
        return;
    session_.reset();
    open_.store(false);
    sendQueueEmpty_.store(true);
}

bool TUSBComm::waitUntilSent(std::chrono::milliseconds limit)
{
    std::lock_guard device(deviceMutex_);
    return !session_ || session_->waitUntilSent(limit);
}

bool TUSBComm::SendData(const std::uint8_t* data, std::uint16_t length)
{
    std::lock_guard device(deviceMutex_);
    if (!session_ || length == 0)
        return false;
    return session_->send(data, length);
}

std::string TUSBComm::openedNode() const
{
    std::lock_guard device(deviceMutex_);
    return session_ ? session_->node() : std::string();
}

std::string TUSBComm::Vid() const
{
    std::lock_guard lock(settingsMutex_);
    return vid_;
}

void TUSBComm::setVid(const std::string& value)
{
    std::lock_guard lock(settingsMutex_);
    vid_ = value;
}

std::string TUSBComm::PID() const
{
    std::lock_guard lock(settingsMutex_);
    return pid_;
}

void TUSBComm::setPID(const std::string& value)
{
    std::lock_guard lock(settingsMutex_);
    pid_ = value;
}

std::string TUSBComm::subId() const
{
    std::lock_guard lock(settingsMutex_);
    return subId_;
}

std::string TUSBComm::NameId() const
{
    std::lock_guard lock(settingsMutex_);
    return nameId_;
}

bool TUSBComm::Outx_XonXoffFlow() const
{
    std::lock_guard lock(settingsMutex_);
    return outxXonXoffFlow_;
}

void TUSBComm::setOutx_XonXoffFlow(bool value)
{
    std::lock_guard device(deviceMutex_);
    {
        std::lock_guard settings(settingsMutex_);
        if (outxXonXoffFlow_ == value)
            return;
        outxXonXoffFlow_ = value;
    }
    if (session_)
        session_->applyOutputFlowControl(value);
}

bool IsPrinterIdentifier(std::string_view identifier)
{
    constexpr std::string_view kPrinterProductId = "811E";
    for (std::size_t at = 0; at + kPrinterProductId.size() <= identifier.size(); ++at)
        if (equalsIgnoringAsciiCase(identifier.substr(at, kPrinterProductId.size()), kPrinterProductId))
            return true;
    return false;
}

}  // namespace pst
