// The worker's list of USB printers: filled when the worker is created and
// refreshed whenever any USB device arrives or is removed.

#include <algorithm>

#include "engine/comm_thread.h"
#include "transport/usb_comm.h"

namespace pst {

namespace {

// Fills `listing.items` with the printers present; a failure leaves the
// items as far as they were filled and is kept as the listing's error.
void listPrinters(TUSBComm& usb, UsbDeviceListing& listing)
{
    listing.items.clear();
    listing.error.clear();
    try {
        std::vector<std::string> identifiers;
        usb.ListDevices(identifiers);
        std::copy_if(identifiers.begin(), identifiers.end(), std::back_inserter(listing.items),
                     [](const std::string& identifier) { return IsPrinterIdentifier(identifier); });
    } catch (const ECommsError& failure) {
        listing.error = failure.what();
        if (!failure.detail().empty())
            listing.error += " (" + failure.detail() + ")";
    } catch (const std::exception& failure) {
        listing.error = failure.what();
    }
}

}  // namespace

void TCommThread::attachUsbComponent()
{
    usb_->OnUSBArrival = [this](TUSBComm&) { refreshUsbList(true); };
    usb_->OnUSBRemove = [this](TUSBComm&) { refreshUsbList(false); };
    usb_->OnSendDataEmpty = [](TUSBComm& usb) { usb.setSendQueueEmpty(true); };
    usb_->setPID({});
    usb_->setVid({});

    UsbDeviceListing listing;
    listPrinters(*usb_, listing);
    // What the main window does right after creating the worker: the first
    // printer is the chosen one.
    if (!listing.items.empty())
        listing.text = listing.items.front();
    std::lock_guard lock(usbListMutex_);
    usbList_ = std::move(listing);
}

void TCommThread::refreshUsbList(bool arrival)
{
    usb_->CloseDevice();
    UsbDeviceListing listing = usbDevices();
    listPrinters(*usb_, listing);
    if (!listing.items.empty())
        listing.text = listing.items.front();
    else if (!arrival)
        listing.text.clear();

    {
        std::lock_guard lock(usbListMutex_);
        usbList_ = listing;
    }
    deliver(
        [listing](const WorkerEvents& events) {
            if (events.usbDevicesChanged)
                events.usbDevicesChanged(listing);
        },
        false);
}

UsbDeviceListing TCommThread::usbDevices() const
{
    std::lock_guard lock(usbListMutex_);
    return usbList_;
}

}  // namespace pst
