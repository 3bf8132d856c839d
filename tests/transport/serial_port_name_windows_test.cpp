// COM names as Windows opens them.

#include <gtest/gtest.h>

#include "transport/serial_port_name.h"

namespace pst {
namespace {

TEST(SerialDevicePath, ComNamesBecomeDevicePathsAndOtherNamesStay)
{
    EXPECT_EQ(serialDevicePath("COM1"), "\\\\.\\COM1");
    // Above COM9 only the device path reaches the port.
    EXPECT_EQ(serialDevicePath("com12"), "\\\\.\\com12");
    EXPECT_EQ(serialDevicePath("\\\\.\\CNCA0"), "\\\\.\\CNCA0");
    for (const char* kept : {"COM0", "COMx", "COM", "COM1x", "COM-1", "COM01"})
        EXPECT_EQ(serialDevicePath(kept), kept);
}

}  // namespace
}  // namespace pst
