// The USB device watch on Windows: its window and thread come and go with
// the monitor, and a monitor that is gone hears nothing more.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "transport/usb_uevent_monitor.h"

namespace pst {
namespace {

TEST(UsbDeviceWatch, RegistersForDeviceNotificationsAndStopsPromptly)
{
    std::atomic<int> changes{0};
    const auto started = std::chrono::steady_clock::now();
    {
        UsbUeventMonitor first([&](UsbDeviceChange) { ++changes; });
        // A second component registers the same window class again.
        UsbUeventMonitor second([&](UsbDeviceChange) { ++changes; });
        EXPECT_TRUE(first.listening());
        EXPECT_TRUE(second.listening());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(changes.load(), 0);
}

}  // namespace
}  // namespace pst
