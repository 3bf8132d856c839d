#include "transport/usb_uevent_monitor.h"

namespace pst {

// Windows announces USB devices to a window registered for device
// notifications (WM_DEVICECHANGE), not on a socket. Until that window is in
// place the monitor stays silent and says so through Listening(); events
// injected by the owner still work.
UsbUeventMonitor::UsbUeventMonitor(Handler handler) : handler_(std::move(handler)) { }

UsbUeventMonitor::~UsbUeventMonitor() = default;

void UsbUeventMonitor::run() { }

}  // namespace pst
