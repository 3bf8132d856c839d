// Device identifiers from Windows USB device-interface paths.

#include <gtest/gtest.h>

#include "transport/usb_interface_path.h"

namespace pst {
namespace {

TEST(UsbInterfacePath, TheHardwarePartUpperCasedIsTheIdentifier)
{
    EXPECT_EQ(usbIdentifierOfPath("\\\\?\\usb#vid_1234&pid_811e#5&2c1b&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"),
              "VID_1234&PID_811E");
    // One function of a composite device has a third piece.
    EXPECT_EQ(usbIdentifierOfPath("\\\\?\\usb#vid_1234&pid_811e&mi_00#6&1a&0&0000#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"),
              "VID_1234&PID_811E&MI_00");
}

TEST(UsbInterfacePath, MissingSeparatorsKeepWhatIsThere)
{
    EXPECT_EQ(usbIdentifierOfPath("\\\\?\\usb#vid_1234&pid_811e"), "VID_1234&PID_811E");
    EXPECT_EQ(usbIdentifierOfPath("vid_1234"), "VID_1234");
    EXPECT_EQ(usbIdentifierOfPath(""), "");
}

}  // namespace
}  // namespace pst
