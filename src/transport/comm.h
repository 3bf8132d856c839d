#pragma once
// TComm: one serial port, opened exclusively, with a reader and a writer
// thread behind it.
//
// Threads. The component belongs to the thread that creates it: all five
// events run there, from that thread's Dispatcher, never on the reader or
// writer thread. OpenPort, ClosePort, SendData, isOpen, SendQueueEmpty and the
// property getters and setters may be called from any other thread (the
// command worker calls them while the events run on the window thread).
// The event members themselves are assigned and read on the creating thread
// only. A handler must not destroy the component that raised it.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/dispatcher.h"
#include "transport/comm_types.h"

namespace pst {

class CommSession;
struct CommEventGate;

class TComm {
public:
    TComm();
    TComm(const TComm&) = delete;
    TComm& operator=(const TComm&) = delete;
    // Closes the port if it is still open. Events still queued for the
    // creating thread are dropped.
    ~TComm();

    // Throws ECommsError. On an open port: "This serial port already opened",
    // and the port stays open.
    void OpenPort();
    // Stops both threads and closes the port; nothing happens when closed.
    void ClosePort();
    // Queues a copy for the writer and returns before it is written. False,
    // with nothing queued, when the port is closed, its writer has failed, or
    // length is 0.
    bool SendData(const std::uint8_t* data, std::uint16_t length);
    bool SendQueueEmpty() const { return sendQueueEmpty_.load(); }
    // Waits until everything sent has been handed to the driver, at most
    // `limit`; true when it has (or the port is closed). Blocks closing and
    // sending meanwhile.
    bool waitUntilSent(std::chrono::milliseconds limit);
    bool isOpen() const { return open_.load(); }

    // Properties. Setting the current value does nothing. Line settings are
    // applied at once while the port is open, except Parity, which waits for
    // the next OpenPort or the next change of another line setting; CommName
    // is used at the next OpenPort; time-outs are applied at once.
    std::string CommName() const;
    void setCommName(const std::string& value);
    std::uint32_t BaudRate() const;
    void setBaudRate(std::uint32_t value);
    bool ParityCheck() const;
    void setParityCheck(bool value);
    bool Outx_CtsFlow() const;
    void setOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const;
    void setOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const;
    void setDtrControl(TDtrControl value);
    bool DsrSensitivity() const;
    void setDsrSensitivity(bool value);
    bool TxContinueOnXoff() const;
    void setTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const;
    void setOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const;
    void setInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const;
    void setReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const;
    void setIgnoreNullChar(bool value);
    TRtsControl RtsControl() const;
    void setRtsControl(TRtsControl value);
    std::uint16_t XonLimit() const;
    void setXonLimit(std::uint16_t value);
    std::uint16_t XoffLimit() const;
    void setXoffLimit(std::uint16_t value);
    TByteSize ByteSize() const;
    void setByteSize(TByteSize value);
    TParity Parity() const;
    void setParity(TParity value);
    TStopBits StopBits() const;
    void setStopBits(TStopBits value);
    char XonChar() const;
    void setXonChar(char value);
    char XoffChar() const;
    void setXoffChar(char value);
    char ReplacedChar() const;
    void setReplacedChar(char value);
    std::uint32_t ReadIntervalTimeout() const;
    void setReadIntervalTimeout(std::uint32_t value);
    std::uint32_t ReadTotalTimeoutMultiplier() const;
    void setReadTotalTimeoutMultiplier(std::uint32_t value);
    std::uint32_t ReadTotalTimeoutConstant() const;
    void setReadTotalTimeoutConstant(std::uint32_t value);
    std::uint32_t WriteTotalTimeoutMultiplier() const;
    void setWriteTotalTimeoutMultiplier(std::uint32_t value);
    std::uint32_t WriteTotalTimeoutConstant() const;
    void setWriteTotalTimeoutConstant(std::uint32_t value);

    // Optional direct receiver: when set, `receive` runs on the reader thread
    // with the bytes of every read as soon as the read returns (valid during
    // the call), and OnReceiveData is not raised for them. Empty to go back
    // to OnReceiveData. Once this returns, no call of the receiver it
    // replaced is under way. Any thread; not from within the receiver.
    void setDirectReceiver(std::function<void(const std::uint8_t* bytes, std::size_t count)> receive);

    // Events. buffer holds length bytes followed by one zero byte and is
    // valid only during the call; chunks hold at most 2048 bytes.
    std::function<void(TComm& sender, const std::uint8_t* buffer, std::uint16_t length)> OnReceiveData;
    // CE_ flags: 0x0001 input overflow, 0x0002 overrun, 0x0004 parity,
    // 0x0008 framing, 0x0010 break. Reception goes on.
    std::function<void(TComm& sender, std::uint32_t eventMask)> OnReceiveError;
    // 4 ring indication, 8 carrier change; both may be set.
    std::function<void(TComm& sender, std::uint32_t modemEvent)> OnModemStateChange;
    // A thread met a fatal error and ended; ClosePort and OpenPort restore it.
    std::function<void(TComm& sender)> OnRequestHangup;
    // Once after OpenPort, then once each time the queue drains after writes.
    std::function<void(TComm& sender)> OnSendDataEmpty;

private:
    template <class T> T lineValue(T CommLineSettings::*field) const;
    template <class T> void setLineValue(T CommLineSettings::*field, T value, bool applyWhenOpen = true);
    std::uint32_t timeoutValue(std::uint32_t CommTimeouts::*field) const;
    void setTimeoutValue(std::uint32_t CommTimeouts::*field, std::uint32_t value);

    std::shared_ptr<Dispatcher> dispatcher_;
    std::shared_ptr<CommEventGate> gate_;

    // Order: portMutex_ before settingsMutex_. portMutex_ serialises opening,
    // closing, sending and applying; settingsMutex_ only guards the stored
    // values so that getters never wait for a close.
    std::mutex portMutex_;
    mutable std::mutex settingsMutex_;
    std::string commName_ = "COM2";         // guarded by settingsMutex_
    CommLineSettings lines_;                // guarded by settingsMutex_
    CommTimeouts timeouts_;                 // guarded by settingsMutex_
    std::unique_ptr<CommSession> session_;  // guarded by portMutex_
    std::atomic<bool> open_{false};
    std::atomic<bool> sendQueueEmpty_{true};
};

}  // namespace pst
