#pragma once
// TUSBComm: the printer as a USB device, found by its product id.
//
// ListDevices names every USB device present (see usb_device_list.h for the
// identifiers and their order). SelectDevice takes one identifier apart;
// OpenDevice then opens the first device whose upper-cased path contains the
// PID text and whose node can be opened, and serves it with a reader and a
// writer thread like the serial component's. The component also reports
// every USB device that arrives or is removed.
//
// Threads. The component belongs to the thread that creates it: all events,
// OnUSBArrival and OnUSBRemove included, run there from its Dispatcher. The
// operations may be called from any thread; the component serialises
// OpenDevice, CloseDevice, SendData and the property setters, so the owner
// may close the device from its event handlers while another thread sends.
// A handler must not destroy the component that raised it.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dispatcher.h"
#include "transport/comm_types.h"
#include "transport/usb_system_paths.h"

namespace pst {

struct CommEventGate;
class UsbDeviceSession;
class UsbUeventMonitor;

class TUSBComm {
public:
    // `watchDevices` false leaves out the kernel event monitor (a tool that
    // only lists devices once has no use for it); injected events still work.
    explicit TUSBComm(UsbSystemPaths paths = UsbSystemPaths::fromEnvironment(), bool watchDevices = true);
    TUSBComm(const TUSBComm&) = delete;
    TUSBComm& operator=(const TUSBComm&) = delete;
    // Stops watching and closes the device if it is still open. Events still
    // queued for the creating thread are dropped.
    ~TUSBComm();

    // Replaces `list` with one identifier per device and function present.
    // Returns true; throws ECommsError("Failed to open handle to HID device
    // set") when the devices cannot be read, leaving `list` untouched.
    bool ListDevices(std::vector<std::string>& list) const;

    // VID_1234&PID_811E[&MI_00]: Vid 1234, PID 811E, subId MI_00 (only with
    // exactly three parts); fewer than two parts empty Vid and PID. NameId is
    // always emptied. Returns true.
    bool SelectDevice(const std::string& identifier);

    // Does nothing when open. Throws ECommsError("Error open USB DEVICE ")
    // when no present device with PID in its path could be opened (also for
    // an empty PID); the detail says why, and how to grant access when the
    // node refused this user.
    void OpenDevice();
    // Stops the reader, then the writer, and closes the node. Nothing
    // happens when closed.
    void CloseDevice();
    // Queues a copy for the writer. False, with nothing queued, when closed,
    // when the writer has ended, or when length is 0.
    bool SendData(const std::uint8_t* data, std::uint16_t length);
    bool isOpen() const { return open_.load(); }
    // The device node in use; empty when closed.
    std::string openedNode() const;

    bool SendQueueEmpty() const { return sendQueueEmpty_.load(); }
    // Waits until everything sent has been handed to the driver, at most
    // `limit`; true when it has (or the port is closed). Blocks closing and
    // sending meanwhile.
    bool waitUntilSent(std::chrono::milliseconds limit);
    void setSendQueueEmpty(bool empty) { sendQueueEmpty_.store(empty); }

    // Properties. IncludePrefZero, VendorID and ProductID are stored only.
    std::string Vid() const;
    void setVid(const std::string& value);
    std::string PID() const;
    void setPID(const std::string& value);
    std::string subId() const;
    std::string NameId() const;
    bool IncludePrefZero() const { return includePrefZero_.load(); }
    void setIncludePrefZero(bool value) { includePrefZero_.store(value); }
    std::uint16_t VendorID() const { return vendorId_.load(); }
    void setVendorID(std::uint16_t value) { vendorId_.store(value); }
    std::uint16_t ProductID() const { return productId_.load(); }
    void setProductID(std::uint16_t value) { productId_.store(value); }
    // XON/XOFF on output; reaches an open virtual serial node at once.
    bool Outx_XonXoffFlow() const;
    void setOutx_XonXoffFlow(bool value);

    const UsbSystemPaths& paths() const { return paths_; }
    // Whether the kernel's device events are being watched.
    bool watchingDevices() const;

    // Handles one kernel event message as if the monitor had received it:
    // the matching event follows on the creating thread. Any thread.
    void injectDeviceEvent(std::string_view message);

    // Optional direct receiver: when set, `receive` runs on the reader thread
    // with the bytes of every read as soon as the read returns (valid during
    // the call), and OnReceiveData is not raised for them. Empty to go back
    // to OnReceiveData. Once this returns, no call of the receiver it
    // replaced is under way. Any thread; not from within the receiver.
    void setDirectReceiver(std::function<void(const std::uint8_t* bytes, std::size_t count)> receive);

    // Events. OnReceiveData: as the serial component's (chunks of at most
    // 2048 bytes followed by one zero byte, valid during the call).
    std::function<void(TUSBComm& sender)> OnUSBArrival;
    std::function<void(TUSBComm& sender)> OnUSBRemove;
    std::function<void(TUSBComm& sender, const std::uint8_t* buffer, std::uint16_t length)> OnReceiveData;
    // Never raised by this component's threads; kept for owners that assign it.
    std::function<void(TUSBComm& sender, std::uint32_t eventMask)> OnReceiveError;
    std::function<void(TUSBComm& sender)> OnSendDataEmpty;

private:
    void deviceChanged(bool arrived);

    const UsbSystemPaths paths_;
    std::shared_ptr<Dispatcher> dispatcher_;
    std::shared_ptr<CommEventGate> gate_;

    // Order: deviceMutex_ before settingsMutex_.
    mutable std::mutex deviceMutex_;
    mutable std::mutex settingsMutex_;
    std::string vid_;                            // guarded by settingsMutex_
    std::string pid_;                            // guarded by settingsMutex_
    std::string subId_;                          // guarded by settingsMutex_
    std::string nameId_;                         // guarded by settingsMutex_
    bool outxXonXoffFlow_ = false;               // guarded by settingsMutex_
    std::unique_ptr<UsbDeviceSession> session_;  // guarded by deviceMutex_
    std::atomic<bool> open_{false};
    std::atomic<bool> sendQueueEmpty_{true};
    std::atomic<bool> includePrefZero_{false};
    std::atomic<std::uint16_t> vendorId_{0};
    std::atomic<std::uint16_t> productId_{0};

    // Last: its thread calls into the members above until it is gone.
    std::unique_ptr<UsbUeventMonitor> monitor_;
};

// Whether an identifier from ListDevices names the printer: its product id
// 811E, in either case.
bool IsPrinterIdentifier(std::string_view identifier);

}  // namespace pst
