#include "transport/usb_uevent_monitor.h"

#include <future>
#include <system_error>
#include <thread>

#include <windows.h>
#include <dbt.h>
#include <initguid.h>
#include <usbiodef.h>

#include "transport/comm_channel.h"

namespace pst {

namespace {

constexpr wchar_t kWindowClass[] = L"PenWatchUsbDevices";

// Runs on the watch's thread, which owns the window.
LRESULT CALLBACK watchWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        auto* handler = reinterpret_cast<UsbUeventMonitor::Handler*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (header != nullptr && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE && handler != nullptr)
            (*handler)(wParam == DBT_DEVICEARRIVAL ? UsbDeviceChange::Arrival : UsbDeviceChange::Removal);
        return TRUE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

// A message-only window that Windows tells of every USB device interface
// that arrives or is removed, and the thread that owns it and runs its
// messages until the stop signal.
struct UsbUeventMonitor::Watch {
    explicit Watch(Handler onChange) : handler(std::move(onChange)) { }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
    ~Watch()
    {
        if (thread.joinable()) {
            stop.signal();
            thread.join();
        }
    }

    void run(std::promise<bool>& registered);

    Handler handler;
    CloseSignal stop;
    std::thread thread;
    bool listening = false;
};

UsbUeventMonitor::UsbUeventMonitor(Handler handler) : watch_(std::make_unique<Watch>(std::move(handler)))
{
    if (!watch_->stop.create())
        return;
    // The window belongs to the thread that creates it, so the watch's own
    // thread makes it; the constructor waits to hear whether it listens.
    std::promise<bool> registered;
    std::future<bool> answer = registered.get_future();
    try {
        watch_->thread = std::thread([watch = watch_.get(), &registered] { watch->run(registered); });
    } catch (const std::system_error&) {
        return;
    }
    watch_->listening = answer.get();
}

UsbUeventMonitor::~UsbUeventMonitor() = default;

bool UsbUeventMonitor::listening() const
{
    return watch_->listening;
}

void UsbUeventMonitor::Watch::run(std::promise<bool>& registered)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = watchWindow;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    // A second component finds the class there already; that is fine.
    ::RegisterClassExW(&windowClass);
    const HWND window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          windowClass.hInstance, nullptr);
    if (window == nullptr) {
        registered.set_value(false);
        return;
    }
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handler));

    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
    const HDEVNOTIFY notification = ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    registered.set_value(notification != nullptr);

    while (notification != nullptr) {
        const HANDLE stopEvent = stop.event();
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &stopEvent, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1)
            break;  // the stop signal, or a wait that failed
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (notification != nullptr)
        ::UnregisterDeviceNotification(notification);
    ::DestroyWindow(window);
}

}  // namespace pst
