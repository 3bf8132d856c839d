// TComm on a real tty: the slave side of a pseudo-terminal, with the test
// holding the master side as the far end of the line.

#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>

#include "pty_pair.h"

namespace pst::test {
namespace {

using Seen = EventLog::Seen;

class CommPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        configureLikeWorker(comm, pty.slavePath());
        log.attach(comm);
    }
    void openAndSettle()
    {
        comm.OpenPort();
        ASSERT_TRUE(log.pumpUntil([](const Seen& s) { return s.sendEmpty == 1; }));
    }
    // Runs this thread's events for a while without waiting for anything.
    void settle(std::chrono::milliseconds time)
    {
        log.pumpUntil([](const Seen&) { return false; }, time);
    }
    std::vector<std::size_t> chunkSizes()
    {
        std::vector<std::size_t> sizes;
        for (const auto& chunk : log.seen().chunks)
            sizes.push_back(chunk.bytes.size());
        return sizes;
    }

    PtyPair pty;
    EventLog log;
    TComm comm;
};

auto bytesAtLeast(std::size_t n)
{
    return [n](const Seen& s) { return s.bytes() >= n; };
}

TEST_F(CommPortTest, ContinuousBurstArrivesAs2048And2048And904)
{
    comm.setReadIntervalTimeout(100);
    comm.OpenPort();
    const auto sent = pattern(5000);
    pty.write(sent);

    ASSERT_TRUE(log.pumpUntil(bytesAtLeast(5000)));
    EXPECT_EQ(chunkSizes(), (std::vector<std::size_t>{2048, 2048, 904}));
    std::vector<std::uint8_t> joined;
    for (const auto& chunk : log.seen().chunks) {
        EXPECT_TRUE(chunk.zeroAfter);
        joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
    }
    EXPECT_EQ(joined, sent);
}

TEST_F(CommPortTest, PauseLongerThanIntervalSplitsChunks)
{
    comm.setReadIntervalTimeout(30);
    comm.OpenPort();
    pty.write(pattern(10));
    std::this_thread::sleep_for(200ms);
    pty.write(pattern(20));

    ASSERT_TRUE(log.pumpUntil(bytesAtLeast(30)));
    EXPECT_EQ(chunkSizes(), (std::vector<std::size_t>{10, 20}));
}

TEST_F(CommPortTest, IntervalChangedWhileOpenEndsTheNextChunkPromptly)
{
    // The worker narrows the interval to 1 ms for each command while the port
    // stays open; a reader still holding the old 5 s would stall every reply.
    comm.setReadIntervalTimeout(5000);
    comm.OpenPort();
    comm.setReadIntervalTimeout(1);
    const auto start = std::chrono::steady_clock::now();
    pty.write(pattern(16));
    ASSERT_TRUE(log.pumpUntil(bytesAtLeast(16), 3s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST_F(CommPortTest, EmptyTotalTimeoutsKeepTheReaderAliveAndNullsCanBeDropped)
{
    comm.setReadIntervalTimeout(20);
    comm.setReadTotalTimeoutConstant(10);
    comm.OpenPort();
    comm.setIgnoreNullChar(true);
    settle(100ms);  // several reads end empty meanwhile
    pty.write({1, 0, 2, 0, 0, 3});
    ASSERT_TRUE(log.pumpUntil(bytesAtLeast(3)));
    settle(50ms);
    const Seen seen = log.seen();
    ASSERT_EQ(seen.chunks.size(), 1u);
    EXPECT_EQ(seen.chunks[0].bytes, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(seen.hangups, 0);
}

TEST_F(CommPortTest, LargestSendArrivesWholeThroughPartialWrites)
{
    openAndSettle();
    const auto data = pattern(65535);
    ASSERT_TRUE(comm.SendData(data.data(), 65535));
    // The pseudo-terminal holds far less than this, so the writer is still
    // busy until the master reads.
    EXPECT_FALSE(comm.SendQueueEmpty());
    EXPECT_EQ(pty.read(data.size()), data);
    EXPECT_TRUE(log.pumpUntil([&](const Seen& s) { return s.sendEmpty == 2 && comm.SendQueueEmpty(); }));
}

TEST_F(CommPortTest, OpenTwiceThrowsCloseTwiceIsHarmlessAndClosedSendsAreRefused)
{
    const std::vector<std::uint8_t> ping{'p', 'i', 'n', 'g'};
    comm.ClosePort();
    EXPECT_FALSE(comm.SendData(ping.data(), 4));
    comm.setReadIntervalTimeout(10);
    openAndSettle();
    EXPECT_EQ(commsErrorOf([&] { comm.OpenPort(); }), "This serial port already opened");
    EXPECT_FALSE(comm.SendData(ping.data(), 0));

    // Still fully working after the refused open.
    ASSERT_TRUE(comm.SendData(ping.data(), 4));
    EXPECT_EQ(pty.read(4), ping);
    pty.write(ping);
    ASSERT_TRUE(log.pumpUntil([](const Seen& s) { return s.sendEmpty == 2 && s.bytes() == 4; }));
    EXPECT_EQ(log.seen().chunks[0].bytes, ping);

    comm.ClosePort();
    comm.ClosePort();
    EXPECT_FALSE(comm.isOpen());
    EXPECT_FALSE(comm.SendData(ping.data(), 4));
    settle(100ms);
    EXPECT_EQ(log.seen().events, 3) << "nothing after the close";
    EXPECT_TRUE(pty.read(1, 50ms).empty());
}

TEST_F(CommPortTest, PortHeldElsewhereCannotBeOpenedUntilReleased)
{
    const std::string path = pty.slavePath();
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only async-signal-safe calls after fork in a threaded process.
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        char byte = 'r';
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(ready[1], &byte, 1) != 1 ||
            ::read(release[0], &byte, 1) != 1)
            ::_exit(1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(commsErrorOf([&] { comm.OpenPort(); }), "Error opening serial port");
    EXPECT_FALSE(comm.isOpen());

    ASSERT_EQ(::write(release[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
    EXPECT_NO_THROW(comm.OpenPort());

    TComm other;  // a second component in this process is kept out the same way
    other.setCommName(path);
    EXPECT_EQ(commsErrorOf([&] { other.OpenPort(); }), "Error opening serial port");
}

TEST(CommOpenFailures, MissingDeviceAndPlainFileFailAndLeaveNothingOpen)
{
    auto openDescriptors = [] {
        auto range = std::filesystem::directory_iterator("/proc/self/fd");
        return std::distance(begin(range), end(range));
    };
    TComm comm;
    const auto before = openDescriptors();
    comm.setCommName("/nonexistent/ttyNone");
    EXPECT_EQ(commsErrorOf([&] { comm.OpenPort(); }), "Error opening serial port");

    char path[] = "/tmp/pst_comm_test_XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    comm.setCommName(path);
    EXPECT_EQ(commsErrorOf([&] { comm.OpenPort(); }), "File handle is not a comm handle ");
    ::unlink(path);
    EXPECT_FALSE(comm.isOpen());
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(CommPortTest, BaudRateReachesTheOpenPortAtOnceParityOnlyWithTheNextChange)
{
    auto lineNow = [&] {
        termios t{};
        EXPECT_EQ(::tcgetattr(pty.master(), &t), 0);  // a master reports its slave's settings
        return t;
    };
    comm.OpenPort();
    termios t = lineNow();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_lflag & ICANON, 0u);
    comm.setBaudRate(115200);
    t = lineNow();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B115200));

    // A pseudo-terminal forces 8 data bits and drops PARENB, but keeps
    // PARODD and CMSPAR, which is enough to see when a Mark parity arrives.
    comm.setParity(TParity::Mark);
    t = lineNow();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), 0u);
    comm.setStopBits(TStopBits::_2);
    t = lineNow();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR | CSTOPB), tcflag_t(PARODD | CMSPAR | CSTOPB));
}

TEST_F(CommPortTest, LostLineRaisesHangupAndEndsSending)
{
    openAndSettle();
    pty.closeMaster();
    ASSERT_TRUE(log.pumpUntil([](const Seen& s) { return s.hangups >= 1; }));

    // The writer learns of the loss on its next write, reports it and ends;
    // from then on nothing can be queued.
    const std::uint8_t byte = 1;
    const int before = log.seen().hangups;
    if (comm.SendData(&byte, 1)) {
        ASSERT_TRUE(log.pumpUntil([&](const Seen& s) { return s.hangups > before; }));
    }
    EXPECT_FALSE(comm.SendData(&byte, 1));
    EXPECT_TRUE(comm.isOpen()) << "only ClosePort closes";
}

TEST(CommLifetime, DestroyingAnOpenComponentDropsItsQueuedEvents)
{
    PtyPair pty;
    EventLog log;
    {
        TComm comm;
        configureLikeWorker(comm, pty.slavePath());
        comm.setReadIntervalTimeout(1);
        log.attach(comm);
        comm.OpenPort();
        pty.write(pattern(100));
        std::this_thread::sleep_for(100ms);  // the chunk is posted, not yet run
    }
    Dispatcher::current()->processPending();
    EXPECT_EQ(log.seen().events, 0);
}

// The component is created on a "window" thread that runs its dispatcher,
// while this thread plays the command worker that opens and sends.
TEST(CommThreads, EventsRunOnTheCreatingThreadWhileAnotherThreadDrivesThePort)
{
    PtyPair pty;
    EventLog log;
    std::promise<std::pair<TComm*, std::shared_ptr<Dispatcher>>> made;
    bool quit = false;  // touched on the window thread only
    std::thread::id windowThread;
    std::thread window([&] {
        TComm comm;
        configureLikeWorker(comm, pty.slavePath());
        comm.setReadIntervalTimeout(10);
        log.attach(comm);
        windowThread = std::this_thread::get_id();
        made.set_value({&comm, Dispatcher::current()});
        Dispatcher::current()->runUntil([&] { return quit; });
    });
    auto [comm, windowDispatcher] = made.get_future().get();

    comm->OpenPort();
    ASSERT_TRUE(log.waitUntil([](const Seen& s) { return s.sendEmpty == 1; }));
    // A burst: the first block alone overfills the pseudo-terminal, so all
    // three are queued before anything drains and the queue runs empty once.
    const auto big = pattern(65535);
    ASSERT_TRUE(comm->SendData(big.data(), 65535));
    ASSERT_TRUE(comm->SendData(big.data(), 100));
    ASSERT_TRUE(comm->SendData(big.data(), 100));
    EXPECT_EQ(pty.read(65735).size(), 65735u);
    ASSERT_TRUE(log.waitUntil([](const Seen& s) { return s.sendEmpty == 2; }));

    pty.write(pattern(10));
    ASSERT_TRUE(log.waitUntil(bytesAtLeast(10)));
    comm->ClosePort();
    windowDispatcher->post([&] { quit = true; });
    window.join();

    const Seen seen = log.seen();
    EXPECT_EQ(seen.sendEmpty, 2);
    for (const auto& id : seen.threads)
        EXPECT_EQ(id, windowThread);
}

}  // namespace
}  // namespace pst::test
