#include "transport/comm.h"

#include "transport/comm_channel.h"
#include "transport/comm_session.h"
#include "transport/serial_port_name.h"

namespace pst {

namespace {

// The serial component's side of its threads' notices.
class TCommEvents final : public CommEvents {
public:
    explicit TCommEvents(TComm& comm) : comm_(comm) { }

    void receiveData(const std::uint8_t* block, std::uint16_t length) override
    {
        if (comm_.OnReceiveData)
            comm_.OnReceiveData(comm_, block, length);
    }
    void receiveError(std::uint32_t errorMask) override
    {
        if (comm_.OnReceiveError)
            comm_.OnReceiveError(comm_, errorMask);
    }
    void modemStateChange(std::uint32_t modemEvent) override
    {
        if (comm_.OnModemStateChange)
            comm_.OnModemStateChange(comm_, modemEvent);
    }
    void requestHangup() override
    {
        if (comm_.OnRequestHangup)
            comm_.OnRequestHangup(comm_);
    }
    void sendDataEmpty() override
    {
        if (comm_.OnSendDataEmpty)
            comm_.OnSendDataEmpty(comm_);
    }

private:
    TComm& comm_;
};

}  // namespace

CommNotifier::CommNotifier(std::shared_ptr<Dispatcher> dispatcher, std::shared_ptr<CommEventGate> gate)
    : dispatcher_(std::move(dispatcher)), gate_(std::move(gate))
{
}

void CommNotifier::deliver(std::function<void(CommEvents&)> raise) const
{
    dispatcher_->post([gate = gate_, raise = std::move(raise)] {
        std::lock_guard lock(gate->mutex);
        if (gate->events)
            raise(*gate->events);
    });
}

void CommNotifier::receivedData(std::vector<std::uint8_t> block) const
{
    deliver([block = std::move(block)](CommEvents& events) {
        events.receiveData(block.data(), static_cast<std::uint16_t>(block.size() - 1));
    });
}

bool CommNotifier::receivedDirect(const std::uint8_t* bytes, std::size_t count) const
{
    std::lock_guard lock(gate_->directMutex);
    if (!gate_->direct)
        return false;
    gate_->direct(bytes, count);
    return true;
}

void CommNotifier::receiveError(std::uint32_t errorMask) const
{
    deliver([errorMask](CommEvents& events) { events.receiveError(errorMask); });
}

void CommNotifier::modemStateChange(std::uint32_t modemEvent) const
{
    deliver([modemEvent](CommEvents& events) { events.modemStateChange(modemEvent); });
}

void CommNotifier::hangup() const
{
    deliver([](CommEvents& events) { events.requestHangup(); });
}

void CommNotifier::sendQueueEmpty() const
{
    deliver([](CommEvents& events) { events.sendDataEmpty(); });
}

TComm::TComm() : dispatcher_(Dispatcher::current()), gate_(std::make_shared<CommEventGate>())
{
    gate_->events = std::make_unique<TCommEvents>(*this);
}

TComm::~TComm()
{
    {
        std::lock_guard lock(gate_->mutex);
        gate_->events.reset();
    }
    ClosePort();
}

void TComm::setDirectReceiver(std::function<void(const std::uint8_t* bytes, std::size_t count)> receive)
{
    std::lock_guard lock(gate_->directMutex);
    gate_->direct = std::move(receive);
}

void TComm::OpenPort()
{
    std::lock_guard port(portMutex_);
    if (session_)
        throw ECommsError("This serial port already opened");

    std::string path;
    CommLineSettings lines;
    CommTimeouts timeouts;
    {
        std::lock_guard settings(settingsMutex_);
        path = serialDevicePath(commName_);
        lines = lines_;
        timeouts = timeouts_;
    }
    session_ = CommSession::open(path, lines, timeouts, CommNotifier(dispatcher_, gate_), sendQueueEmpty_);
    open_.store(true);
}

void TComm::ClosePort()
{
    std::lock_guard port(portMutex_);
    if (!session_)
        return;
    session_.reset();
    open_.store(false);
    sendQueueEmpty_.store(true);
}

bool TComm::waitUntilSent(std::chrono::milliseconds limit)
{
    std::lock_guard port(portMutex_);
    return !session_ || session_->waitUntilSent(limit);
}

bool TComm::SendData(const std::uint8_t* data, std::uint16_t length)
{
    std::lock_guard port(portMutex_);
    if (!session_ || length == 0)
        return false;
    return session_->send(data, length);
}

template <class T> T TComm::lineValue(T CommLineSettings::*field) const
{
    std::lock_guard settings(settingsMutex_);
    return lines_.*field;
}

template <class T> void TComm::setLineValue(T CommLineSettings::*field, T value, bool applyWhenOpen)
{
    std::lock_guard port(portMutex_);
    CommLineSettings snapshot;
    {
        std::lock_guard settings(settingsMutex_);
        if (lines_.*field == value)
            return;
        lines_.*field = value;
        snapshot = lines_;
    }
    if (applyWhenOpen && session_)
        session_->applyLineSettings(snapshot);
}

std::uint32_t TComm::timeoutValue(std::uint32_t CommTimeouts::*field) const
{
    std::lock_guard settings(settingsMutex_);
    return timeouts_.*field;
}

void TComm::setTimeoutValue(std::uint32_t CommTimeouts::*field, std::uint32_t value)
{
    std::lock_guard port(portMutex_);
    CommTimeouts snapshot;
    {
        std::lock_guard settings(settingsMutex_);
        if (timeouts_.*field == value)
            return;
        timeouts_.*field = value;
        snapshot = timeouts_;
    }
    if (session_)
        session_->applyTimeouts(snapshot);
}

std::string TComm::CommName() const
{
    std::lock_guard settings(settingsMutex_);
    return commName_;
}

void TComm::setCommName(const std::string& value)
{
    std::lock_guard settings(settingsMutex_);
    commName_ = value;
}

// clang-format off
std::uint32_t TComm::BaudRate() const { return lineValue(&CommLineSettings::baudRate); }
void TComm::setBaudRate(std::uint32_t value) { setLineValue(&CommLineSettings::baudRate, value); }
bool TComm::ParityCheck() const { return lineValue(&CommLineSettings::parityCheck); }
void TComm::setParityCheck(bool value) { setLineValue(&CommLineSettings::parityCheck, value); }
bool TComm::Outx_CtsFlow() const { return lineValue(&CommLineSettings::outxCtsFlow); }
void TComm::setOutx_CtsFlow(bool value) { setLineValue(&CommLineSettings::outxCtsFlow, value); }
bool TComm::Outx_DsrFlow() const { return lineValue(&CommLineSettings::outxDsrFlow); }
void TComm::setOutx_DsrFlow(bool value) { setLineValue(&CommLineSettings::outxDsrFlow, value); }
TDtrControl TComm::DtrControl() const { return lineValue(&CommLineSettings::dtrControl); }
void TComm::setDtrControl(TDtrControl value) { setLineValue(&CommLineSettings::dtrControl, value); }
bool TComm::DsrSensitivity() const { return lineValue(&CommLineSettings::dsrSensitivity); }
void TComm::setDsrSensitivity(bool value) { setLineValue(&CommLineSettings::dsrSensitivity, value); }
bool TComm::TxContinueOnXoff() const { return lineValue(&CommLineSettings::txContinueOnXoff); }
void TComm::setTxContinueOnXoff(bool value) { setLineValue(&CommLineSettings::txContinueOnXoff, value); }
bool TComm::Outx_XonXoffFlow() const { return lineValue(&CommLineSettings::outxXonXoffFlow); }
void TComm::setOutx_XonXoffFlow(bool value) { setLineValue(&CommLineSettings::outxXonXoffFlow, value); }
bool TComm::Inx_XonXoffFlow() const { return lineValue(&CommLineSettings::inxXonXoffFlow); }
void TComm::setInx_XonXoffFlow(bool value) { setLineValue(&CommLineSettings::inxXonXoffFlow, value); }
bool TComm::ReplaceWhenParityError() const { return lineValue(&CommLineSettings::replaceWhenParityError); }
void TComm::setReplaceWhenParityError(bool value) { setLineValue(&CommLineSettings::replaceWhenParityError, value); }
bool TComm::IgnoreNullChar() const { return lineValue(&CommLineSettings::ignoreNullChar); }
void TComm::setIgnoreNullChar(bool value) { setLineValue(&CommLineSettings::ignoreNullChar, value); }
TRtsControl TComm::RtsControl() const { return lineValue(&CommLineSettings::rtsControl); }
void TComm::setRtsControl(TRtsControl value) { setLineValue(&CommLineSettings::rtsControl, value); }
std::uint16_t TComm::XonLimit() const { return lineValue(&CommLineSettings::xonLimit); }
void TComm::setXonLimit(std::uint16_t value) { setLineValue(&CommLineSettings::xonLimit, value); }
std::uint16_t TComm::XoffLimit() const { return lineValue(&CommLineSettings::xoffLimit); }
void TComm::setXoffLimit(std::uint16_t value) { setLineValue(&CommLineSettings::xoffLimit, value); }
TByteSize TComm::ByteSize() const { return lineValue(&CommLineSettings::byteSize); }
void TComm::setByteSize(TByteSize value) { setLineValue(&CommLineSettings::byteSize, value); }
TParity TComm::Parity() const { return lineValue(&CommLineSettings::parity); }
void TComm::setParity(TParity value) { setLineValue(&CommLineSettings::parity, value, false); }
TStopBits TComm::StopBits() const { return lineValue(&CommLineSettings::stopBits); }
void TComm::setStopBits(TStopBits value) { setLineValue(&CommLineSettings::stopBits, value); }
char TComm::XonChar() const { return lineValue(&CommLineSettings::xonChar); }
void TComm::setXonChar(char value) { setLineValue(&CommLineSettings::xonChar, value); }
char TComm::XoffChar() const { return lineValue(&CommLineSettings::xoffChar); }
void TComm::setXoffChar(char value) { setLineValue(&CommLineSettings::xoffChar, value); }
char TComm::ReplacedChar() const { return lineValue(&CommLineSettings::replacedChar); }
void TComm::setReplacedChar(char value) { setLineValue(&CommLineSettings::replacedChar, value); }

std::uint32_t TComm::ReadIntervalTimeout() const { return timeoutValue(&CommTimeouts::readInterval); }
void TComm::setReadIntervalTimeout(std::uint32_t value) { setTimeoutValue(&CommTimeouts::readInterval, value); }
std::uint32_t TComm::ReadTotalTimeoutMultiplier() const { return timeoutValue(&CommTimeouts::readTotalMultiplier); }
void TComm::setReadTotalTimeoutMultiplier(std::uint32_t value) { setTimeoutValue(&CommTimeouts::readTotalMultiplier, value); }
std::uint32_t TComm::ReadTotalTimeoutConstant() const { return timeoutValue(&CommTimeouts::readTotalConstant); }
void TComm::setReadTotalTimeoutConstant(std::uint32_t value) { setTimeoutValue(&CommTimeouts::readTotalConstant, value); }
std::uint32_t TComm::WriteTotalTimeoutMultiplier() const { return timeoutValue(&CommTimeouts::writeTotalMultiplier); }
void TComm::setWriteTotalTimeoutMultiplier(std::uint32_t value) { setTimeoutValue(&CommTimeouts::writeTotalMultiplier, value); }
std::uint32_t TComm::WriteTotalTimeoutConstant() const { return timeoutValue(&CommTimeouts::writeTotalConstant); }
void TComm::setWriteTotalTimeoutConstant(std::uint32_t value) { setTimeoutValue(&CommTimeouts::writeTotalConstant, value); }
// clang-format on

}  // namespace pst
