// The direct receiver of the serial and USB components: every read handed
// on at once on the reader thread, and nothing left for OnReceiveData.

#include <gtest/gtest.h>

#include "transport/fake_usb_tree.h"
#include "transport/pty_pair.h"
#include "transport/usb_comm.h"

namespace pst::test {
namespace {

// What the direct receiver got, from the reader thread.
class DirectLog {
public:
    std::function<void(const std::uint8_t*, std::size_t)> receiver()
    {
        return [this](const std::uint8_t* bytes, std::size_t count) {
            {
                std::lock_guard lock(mutex_);
                bytes_.insert(bytes_.end(), bytes, bytes + count);
                ++reads_;
                threads_.push_back(std::this_thread::get_id());
            }
            changed_.notify_all();
        };
    }
    bool waitForBytes(std::size_t count, std::chrono::milliseconds limit = 5s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return bytes_.size() >= count; });
    }
    std::vector<std::uint8_t> bytes() const
    {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    int reads() const
    {
        std::lock_guard lock(mutex_);
        return reads_;
    }
    std::vector<std::thread::id> threads() const
    {
        std::lock_guard lock(mutex_);
        return threads_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint8_t> bytes_;
    int reads_ = 0;
    std::vector<std::thread::id> threads_;
};

TEST(CommDirectReceiver, GetsEveryReadOnTheReaderThreadAndNothingReachesOnReceiveData)
{
    PtyPair pty;
    TComm comm;
    configureLikeWorker(comm, pty.slavePath());
    // A long gap: a reply must not wait for it when received directly.
    comm.setReadIntervalTimeout(5000);
    EventLog events;
    events.attach(comm);
    DirectLog direct;
    comm.setDirectReceiver(direct.receiver());
    comm.OpenPort();

    const auto start = std::chrono::steady_clock::now();
    pty.write(pattern(16));
    ASSERT_TRUE(direct.waitForBytes(16));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    pty.write(pattern(3000));
    ASSERT_TRUE(direct.waitForBytes(16 + 3000));

    auto expected = pattern(16);
    const auto more = pattern(3000);
    expected.insert(expected.end(), more.begin(), more.end());
    EXPECT_EQ(direct.bytes(), expected);
    for (const auto id : direct.threads())
        EXPECT_NE(id, std::this_thread::get_id());

    // The component's other events still come through the dispatcher.
    ASSERT_TRUE(events.pumpUntil([](const EventLog::Seen& s) { return s.sendEmpty >= 1; }));
    events.pumpUntil([](const EventLog::Seen&) { return false; }, 100ms);
    EXPECT_TRUE(events.seen().chunks.empty());
    comm.ClosePort();
}

TEST(CommDirectReceiver, ClearedReceiverHandsTheNextBytesToOnReceiveDataAgain)
{
    PtyPair pty;
    TComm comm;
    configureLikeWorker(comm, pty.slavePath());
    comm.setReadIntervalTimeout(1);
    EventLog events;
    events.attach(comm);
    DirectLog direct;
    comm.setDirectReceiver(direct.receiver());
    comm.OpenPort();
    pty.write(pattern(10));
    ASSERT_TRUE(direct.waitForBytes(10));

    comm.setDirectReceiver(nullptr);
    pty.write(pattern(20));
    ASSERT_TRUE(events.pumpUntil([](const EventLog::Seen& s) { return s.bytes() >= 20; }));
    EXPECT_EQ(events.seen().chunks.front().bytes, pattern(20));
    EXPECT_EQ(direct.bytes().size(), 10u);
    comm.ClosePort();
}

TEST(UsbDirectReceiver, GetsTheDeviceBytesOnTheReaderThreadAndNothingReachesOnReceiveData)
{
    FakeUsbTree tree;
    PtyPair far;
    tree.addDevice("1-1", {.vendor = "1234", .product = "811e"});
    tree.addNode(tree.addInterface("1-1", 0), "tty", "ttyACM0", far.slavePath());

    TUSBComm usb(tree.paths(), false);
    int chunks = 0;
    usb.OnReceiveData = [&](TUSBComm&, const std::uint8_t*, std::uint16_t) { ++chunks; };
    int sendEmpty = 0;
    usb.OnSendDataEmpty = [&](TUSBComm&) { ++sendEmpty; };
    DirectLog direct;
    usb.setDirectReceiver(direct.receiver());
    usb.SelectDevice("VID_1234&PID_811E");
    usb.OpenDevice();

    const std::vector<std::uint8_t> frame{0x02, 0x00, 0x0D, 0x0A, 0x11, 0x13, 0x03, 0x7F};
    ASSERT_TRUE(usb.SendData(frame.data(), static_cast<std::uint16_t>(frame.size())));
    EXPECT_EQ(far.read(frame.size()), frame);
    far.write(frame);
    ASSERT_TRUE(direct.waitForBytes(frame.size()));
    EXPECT_EQ(direct.bytes(), frame);
    EXPECT_NE(direct.threads().front(), std::this_thread::get_id());
    Dispatcher::current()->runUntil([&] { return sendEmpty >= 1; }, 5s);
    Dispatcher::current()->runUntil([] { return false; }, 100ms);
    EXPECT_EQ(chunks, 0);
    usb.CloseDevice();
}

}  // namespace
}  // namespace pst::test
