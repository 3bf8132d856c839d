// The worker on the USB link: a made-up device tree whose printer's node is
// the virtual printer's pseudo-terminal, the list of printers the worker
// keeps, and how device arrival and removal refresh it.

#include "engine/worker_fixture.h"

#include "engine/exchanges.h"
#include "transport/comm.h"
#include "transport/fake_usb_tree.h"
#include "transport/usb_comm.h"

using namespace pst;
using namespace pst::test;
using namespace std::chrono_literals;

namespace {

class UsbFixture : public WorkerFixture {
protected:
    // A printer at bus position 1-1 (its virtual serial interface is the
    // virtual printer) and a mouse at 1-2.
    void startUsbPrinter()
    {
        startPrinter();
        tree.addDevice("1-1", {.vendor = "1234", .product = "811e"});
        tree.addNode(tree.addInterface("1-1", 0), "tty", "ttyACM0", printer->devicePath());
        tree.addDevice("1-2", {.vendor = "046d", .product = "c077"});
        tree.addInterface("1-2", 0);
    }

    void startUsbWorker(const std::string& identifier = "VID_1234&PID_811E")
    {
        ConnectionSettings s;
        s.kind = LinkKind::Usb;
        s.comName = "COM7";
        s.usbDeviceId = identifier;
        s.deviceSpeed = 9600;
        s.transferSpeed = 115200;  // no speed switch on this link
        settings->set(s);
        WorkerLinks links;
        links.usbPaths = tree.paths();
        links.watchUsbDevices = false;
        createWorker(std::move(links));
        WorkerEvents listings;
        listings.usbDevicesChanged = [this](const UsbDeviceListing& listing) {
            refreshes.push_back(listing);
        };
        setExtraEvents(listings);
    }

    // A device event as the kernel would announce it; the refresh runs here.
    UsbDeviceListing deviceEvent(const std::string& action)
    {
        const std::size_t before = refreshes.size();
        worker->usbComm().injectDeviceEvent(ueventMessage(action, "usb_device"));
        EXPECT_TRUE(ui->runUntil([&] { return refreshes.size() > before; }, 5s));
        return refreshes.empty() ? UsbDeviceListing{} : refreshes.back();
    }

    FakeUsbTree tree;
    std::vector<UsbDeviceListing> refreshes;
};

std::vector<std::string> lines(const std::string& log)
{
    std::vector<std::string> out;
    std::size_t from = 0;
    for (auto at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", from)) {
        out.push_back(log.substr(from, at - from));
        from = at + 2;
    }
    return out;
}

}  // namespace

TEST_F(UsbFixture, ListsOnlyPrintersAndRunsOperationsOnTheDevice)
{
    startUsbPrinter();
    startUsbWorker();
    const UsbDeviceListing listing = worker->usbDevices();
    EXPECT_EQ(listing.items, std::vector<std::string>{"VID_1234&PID_811E"});
    EXPECT_EQ(listing.text, "VID_1234&PID_811E");

    EXPECT_TRUE(run(1));
    EXPECT_EQ(ids(), (std::vector<unsigned>{LinkFound, Done}));
    EXPECT_TRUE(statusTexts.empty());  // the USB link test shows no texts
    // The device stays open between operations; the log still ends with the
    // serial component's port name.
    EXPECT_TRUE(worker->usbComm().isOpen());
    auto log = lines(debugLog());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().rfind("Send 25 Bytes", 0), 0u);
    EXPECT_EQ(log.back().rfind("Close" + worker->comm().CommName() + " ", 0), 0u) << log.back();

    ASSERT_TRUE(runExchange([](TCommThread& w) {
        ConfirmedSend(w, 0x80, 0, kConfirmedSendAttempts, std::vector<std::uint8_t>{0x0B});
    }));
    EXPECT_NE(debugLog().find("Send 18 Bytes"), std::string::npos);
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x30, 0x30, 0x80}));
}

TEST_F(UsbFixture, ALowerCaseProductIdOpensNothing)
{
    startUsbPrinter();
    startUsbWorker("VID_1234&PID_811e");
    EXPECT_FALSE(run(1));
    const std::string cause = worker->status().failureCause();
    EXPECT_EQ(cause.rfind("Error open USB DEVICE  (no USB device with 811e", 0), 0u) << cause;
    EXPECT_FALSE(worker->usbComm().isOpen());
    EXPECT_TRUE(printer->frames().empty());
}

TEST_F(UsbFixture, ArrivalAndRemovalRefreshTheListAndCloseTheDevice)
{
    startUsbPrinter();
    startUsbWorker();
    ASSERT_TRUE(run(1));
    ASSERT_TRUE(worker->usbComm().isOpen());

    tree.addDevice("1-3", {.vendor = "abcd", .product = "811e"});
    UsbDeviceListing listing = deviceEvent("add");
    EXPECT_EQ(listing.items, (std::vector<std::string>{"VID_1234&PID_811E", "VID_ABCD&PID_811E"}));
    EXPECT_EQ(listing.text, "VID_1234&PID_811E");
    EXPECT_FALSE(worker->usbComm().isOpen());
    EXPECT_EQ(worker->usbDevices().items, listing.items);

    // The next operation opens the device again.
    EXPECT_TRUE(run(1));
    EXPECT_TRUE(worker->usbComm().isOpen());

    tree.removeDevice("1-1");
    tree.removeDevice("1-3");
    listing = deviceEvent("add");  // an arrival without printers keeps the text
    EXPECT_TRUE(listing.items.empty());
    EXPECT_EQ(listing.text, "VID_1234&PID_811E");
    EXPECT_FALSE(worker->usbComm().isOpen());

    listing = deviceEvent("remove");  // a removal empties it
    EXPECT_TRUE(listing.items.empty());
    EXPECT_EQ(listing.text, "");
}
