// The USB device component on a made-up device tree: the identifiers it
// lists, how it picks and opens a device, the data it moves and the device
// events it raises.

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/natural_order.h"
#include "transport/fake_usb_tree.h"
#include "transport/pty_pair.h"
#include "transport/usb_comm.h"
#include "transport/usb_device_list.h"
#include "transport/usb_open_failure.h"
#include "transport/usb_uevent_monitor.h"

using namespace pst;
using namespace pst::test;

namespace {

std::vector<std::string> listed(const TUSBComm& usb)
{
    std::vector<std::string> list{"stale entry"};
    EXPECT_TRUE(usb.ListDevices(list));
    return list;
}

std::string openFailure(TUSBComm& usb, std::string* detail = nullptr)
{
    try {
        usb.OpenDevice();
    } catch (const ECommsError& e) {
        if (detail)
            *detail = e.detail();
        return e.what();
    }
    return "(opened)";
}

class UsbTree : public ::testing::Test {
protected:
    FakeUsbTree tree;
};

}  // namespace

TEST_F(UsbTree, ListsDevicesInBusOrderWithTheFunctionsOfCompositeOnes)
{
    tree.addDevice("usb1", {.vendor = "1d6b", .product = "0002", .deviceClass = "09"});  // root hub
    tree.addDevice("1-10", {.vendor = "046d", .product = "c077"});
    tree.addDevice("1-2", {.vendor = "1a2b", .product = "811e"}, 2);
    tree.addInterface("1-2", 0);
    tree.addInterface("1-2", 1);
    tree.addDevice("1-1.4", {.vendor = "abcd", .product = "00ff", .deviceClass = "02"},
                   2);  // CDC: not composite
    tree.addInterface("1-1.4", 0);
    tree.addInterface("1-1.4", 1);
    tree.addDevice("2-1", {.vendor = "zzzz", .product = "0001"});  // unreadable ids are no device

    TUSBComm usb(tree.paths(), false);
    EXPECT_EQ(listed(usb),
              (std::vector<std::string>{"VID_ABCD&PID_00FF", "VID_1A2B&PID_811E", "VID_1A2B&PID_811E&MI_00",
                                        "VID_1A2B&PID_811E&MI_01", "VID_046D&PID_C077"}));
}

TEST_F(UsbTree, InterfacesTiedByAnAssociationAreOneFunction)
{
    tree.addDevice(
        "1-3", {.vendor = "1234", .product = "811e", .deviceClass = "ef", .subClass = "02", .protocol = "01"},
        3);
    for (int i = 0; i < 3; ++i)
        tree.addInterface("1-3", i);
    // Device descriptor, configuration header, then an association of
    // interfaces 1 and 2.
    std::vector<std::uint8_t> raw(18, 0);
    raw[0] = 18;
    raw[1] = 1;
    raw.insert(raw.end(), {9, 2, 0, 0, 3, 1, 0, 0x80, 50});
    raw.insert(raw.end(), {8, 0x0B, 1, 2, 2, 2, 1, 0});
    raw.insert(raw.end(), {0, 0xFF});  // a zero length ends the walk instead of looping
    tree.writeDescriptors("1-3", raw);

    TUSBComm usb(tree.paths(), false);
    EXPECT_EQ(listed(usb),
              (std::vector<std::string>{"VID_1234&PID_811E", "VID_1234&PID_811E&MI_00",
                                        "VID_1234&PID_811E&MI_01"}));
}

TEST_F(UsbTree, ARootWithoutUsbListsNothingAndAMissingRootFails)
{
    std::filesystem::remove_all(tree.root() / "sys" / "bus");
    TUSBComm usb(tree.paths(), false);
    EXPECT_TRUE(listed(usb).empty());

    TUSBComm nowhere({(tree.root() / "missing").string(), "/dev"}, false);
    std::vector<std::string> list{"kept"};
    EXPECT_THROW(nowhere.ListDevices(list), ECommsError);
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

TEST(UsbNaturalOrder, ComparesDigitRunsAsNumbers)
{
    EXPECT_TRUE(naturalLess("1-2", "1-10"));
    EXPECT_TRUE(naturalLess("1-1", "1-1.4"));
    EXPECT_TRUE(naturalLess("1-9.2", "2-1"));
    EXPECT_FALSE(naturalLess("1-10", "1-2"));
    EXPECT_FALSE(naturalLess("1-02", "1-2"));
}

TEST(UsbSelectDevice, TakesTheIdentifierApart)
{
    TUSBComm usb(UsbSystemPaths{}, false);
    usb.SelectDevice("VID_1234&PID_811E");
    EXPECT_EQ(usb.Vid(), "1234");
    EXPECT_EQ(usb.PID(), "811E");
    EXPECT_EQ(usb.subId(), "");
    EXPECT_EQ(usb.NameId(), "");

    usb.SelectDevice("VID_1234&PID_811E&MI_00");
    EXPECT_EQ(usb.PID(), "811E");
    EXPECT_EQ(usb.subId(), "MI_00");

    usb.SelectDevice("VID_1234");
    EXPECT_EQ(usb.Vid(), "");
    EXPECT_EQ(usb.PID(), "");
    EXPECT_EQ(usb.subId(), "");

    usb.SelectDevice("VID_1234&PID_811E&MI_00&X");  // four parts: no subId
    EXPECT_EQ(usb.subId(), "");
}

TEST_F(UsbTree, OpenDeviceFailsForEmptyLowerCaseAbsentAndNodelessChoices)
{
    tree.addDevice("1-1", {.vendor = "1234", .product = "811e"});
    tree.addInterface("1-1", 0);
    TUSBComm usb(tree.paths(), false);
    std::string detail;

    EXPECT_EQ(openFailure(usb, &detail), "Error open USB DEVICE ");
    EXPECT_EQ(detail, "no USB device was chosen");

    usb.SelectDevice("VID_1234&PID_811e");
    EXPECT_EQ(openFailure(usb, &detail), "Error open USB DEVICE ");
    EXPECT_NE(detail.find("upper case"), std::string::npos) << detail;

    usb.SelectDevice("VID_1234&PID_811E");
    EXPECT_EQ(openFailure(usb, &detail), "Error open USB DEVICE ");
    EXPECT_NE(detail.find("VID_1234&PID_811E: no printer"), std::string::npos) << detail;
    EXPECT_FALSE(usb.isOpen());
}

TEST(UsbOpenFailure, ALockedNodeSaysHowToGrantAccess)
{
    UsbOpenFailure busy("811E");
    busy.matched("VID_1234&PID_811E");
    busy.refused("/dev/usb/lp0", EBUSY);
    EXPECT_EQ(busy.detail(), "/dev/usb/lp0: in use by another program");

    UsbOpenFailure denied("811E");
    denied.matched("VID_1234&PID_811E");
    denied.refused("/dev/usb/lp0", EBUSY);
    denied.refused("/dev/ttyACM0", EACCES);
    const std::string text = denied.detail();
    EXPECT_EQ(text.rfind("/dev/ttyACM0: permission denied", 0), 0u) << text;
    EXPECT_NE(text.find("60-pennafor-printer.rules"), std::string::npos);
    EXPECT_NE(text.find("udevadm control --reload"), std::string::npos);
}

TEST_F(UsbTree, OpensTheFirstMatchingDeviceAndMovesBytesBothWays)
{
    PtyPair far;
    tree.addDevice("1-1", {.vendor = "1234", .product = "811e"});
    const std::string node = tree.addNode(tree.addInterface("1-1", 0), "tty", "ttyACM0", far.slavePath());

    TUSBComm usb(tree.paths(), false);
    std::vector<std::uint8_t> received;
    bool zeroAfter = true;
    int sendEmpty = 0;
    usb.OnReceiveData = [&](TUSBComm&, const std::uint8_t* buffer, std::uint16_t length) {
        received.insert(received.end(), buffer, buffer + length);
        zeroAfter = zeroAfter && buffer[length] == 0;
    };
    usb.OnSendDataEmpty = [&](TUSBComm&) { ++sendEmpty; };
    usb.SelectDevice("VID_1234&PID_811E");
    usb.OpenDevice();
    ASSERT_TRUE(usb.isOpen());
    EXPECT_EQ(usb.openedNode(), node);
    usb.OpenDevice();  // already open: nothing happens
    EXPECT_EQ(usb.openedNode(), node);

    // Binary data passes unchanged: the node is in raw mode.
    const std::vector<std::uint8_t> frame{0x02, 0x00, 0x0D, 0x0A, 0x11, 0x13, 0x03, 0x7F};
    ASSERT_TRUE(usb.SendData(frame.data(), static_cast<std::uint16_t>(frame.size())));
    EXPECT_EQ(far.read(frame.size()), frame);
    far.write(frame);
    Dispatcher::current()->runUntil([&] { return received.size() >= frame.size() && sendEmpty >= 1; }, 5s);
    EXPECT_EQ(received, frame);
    EXPECT_TRUE(zeroAfter);
    EXPECT_GE(sendEmpty, 1);

    // A second component finds the device taken.
    TUSBComm other(tree.paths(), false);
    other.SelectDevice("VID_1234&PID_811E");
    std::string detail;
    EXPECT_EQ(openFailure(other, &detail), "Error open USB DEVICE ");
    EXPECT_EQ(detail, node + ": in use by another program");

    usb.CloseDevice();
    EXPECT_FALSE(usb.isOpen());
    EXPECT_FALSE(usb.SendData(frame.data(), 1));
    usb.CloseDevice();  // closed: nothing happens
    other.OpenDevice();
    EXPECT_TRUE(other.isOpen());
}

TEST_F(UsbTree, AFunctionIdentifierOpensTheNodeOfItsInterface)
{
    PtyPair far;
    tree.addDevice("1-1", {.vendor = "1234", .product = "811e"}, 2);
    tree.addInterface("1-1", 0);  // a function without a node comes first
    const std::string node = tree.addNode(tree.addInterface("1-1", 1), "usbmisc", "lp0", far.slavePath());
    TUSBComm usb(tree.paths(), false);
    EXPECT_EQ(listed(usb),
              (std::vector<std::string>{"VID_1234&PID_811E", "VID_1234&PID_811E&MI_00",
                                        "VID_1234&PID_811E&MI_01"}));
    usb.SelectDevice("VID_1234&PID_811E&MI_01");
    usb.OpenDevice();
    EXPECT_EQ(usb.openedNode(), node);
    EXPECT_EQ(node, (tree.root() / "dev" / "usb" / "lp0").string());
}

TEST_F(UsbTree, ADeviceThatGoesAwayEndsReceptionQuietly)
{
    auto far = std::make_unique<PtyPair>();
    tree.addDevice("1-1", {});
    tree.addNode(tree.addInterface("1-1", 0), "tty", "ttyACM0", far->slavePath());
    TUSBComm usb(tree.paths(), false);
    int chunks = 0;
    usb.OnReceiveData = [&](TUSBComm&, const std::uint8_t*, std::uint16_t) { ++chunks; };
    usb.SelectDevice("VID_1234&PID_811E");
    usb.OpenDevice();
    far.reset();  // the far end hangs up
    Dispatcher::current()->runUntil([] { return false; }, 100ms);
    EXPECT_EQ(chunks, 0);
    EXPECT_TRUE(usb.isOpen());  // only CloseDevice and OpenDevice bring service back
    usb.CloseDevice();
}

TEST(UsbDeviceEvents, OnlyUsbDeviceAddAndRemoveCount)
{
    EXPECT_EQ(parseUsbUevent(ueventMessage("add", "usb_device")), UsbDeviceChange::Arrival);
    EXPECT_EQ(parseUsbUevent(ueventMessage("remove", "usb_device")), UsbDeviceChange::Removal);
    EXPECT_EQ(parseUsbUevent(ueventMessage("add", "usb_interface")), std::nullopt);
    EXPECT_EQ(parseUsbUevent(ueventMessage("bind", "usb_device")), std::nullopt);
    EXPECT_EQ(parseUsbUevent(ueventMessage("add", "disk", "block")), std::nullopt);
    EXPECT_EQ(parseUsbUevent(std::string("libudev\0\0\0\0", 11)), std::nullopt);
    EXPECT_EQ(parseUsbUevent("add@/devices/x"), std::nullopt);  // no fields at all
    EXPECT_EQ(parseUsbUevent(""), std::nullopt);
}

TEST(UsbDeviceEvents, ArrivalAndRemovalRunOnTheCreatingThread)
{
    auto usb = std::make_unique<TUSBComm>(UsbSystemPaths{}, true);
    std::vector<std::string> seen;
    std::vector<std::thread::id> threads;
    usb->OnUSBArrival = [&](TUSBComm&) {
        seen.push_back("arrival");
        threads.push_back(std::this_thread::get_id());
    };
    usb->OnUSBRemove = [&](TUSBComm&) {
        seen.push_back("removal");
        threads.push_back(std::this_thread::get_id());
    };
    std::thread other([&] {
        usb->injectDeviceEvent(ueventMessage("add", "usb_device"));
        usb->injectDeviceEvent(ueventMessage("add", "usb_interface"));
        usb->injectDeviceEvent(ueventMessage("remove", "usb_device"));
    });
    other.join();
    EXPECT_TRUE(seen.empty());  // nothing runs before this thread takes its calls
    Dispatcher::current()->runUntil([&] { return seen.size() >= 2; }, 5s);
    EXPECT_EQ(seen, (std::vector<std::string>{"arrival", "removal"}));
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());

    // Events still queued when the component goes are dropped.
    usb->injectDeviceEvent(ueventMessage("add", "usb_device"));
    usb.reset();
    Dispatcher::current()->processPending();
    EXPECT_EQ(seen.size(), 2u);
}
