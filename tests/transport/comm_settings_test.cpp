// The parts of the serial port that need no device: names, the termios
// mapping, error and modem bit bookkeeping, property storage, and the way the
// modem-line watch is stopped.

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/ioctl.h>
#include <unistd.h>

#include "transport/comm.h"
#include "transport/comm_line_settings.h"
#include "transport/comm_modem_watch.h"
#include "transport/comm_reader.h"
#include "transport/interruptible_thread.h"
#include "transport/serial_port_name.h"

namespace pst {
namespace {

TEST(SerialDevicePath, ComNamesMapToTtySAndOtherNamesStay)
{
    EXPECT_EQ(serialDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(serialDevicePath("com12"), "/dev/ttyS11");
    EXPECT_EQ(serialDevicePath("/tmp/x"), "/tmp/x");
    for (const char* kept : {"COM0", "COMx", "COM", "COM1x", "COM-1", "COM01"})
        EXPECT_EQ(serialDevicePath(kept), kept);
}

// A cooked, 7-bit, odd-parity, hardware-handshake starting point, so that
// every flag the mapping owns has to be cleared or set deliberately.
termios cookedLine()
{
    termios t{};
    t.c_iflag = ICRNL | IXON | IXANY | INPCK;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = CS7 | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL;
    t.c_lflag = ICANON | ECHO | ISIG;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return t;
}

TEST(CommTermios, ParityByteSizeAndStopBits)
{
    CommLineSettings s;
    auto cflag = [&](tcflag_t mask) { return commTermios(cookedLine(), s).c_cflag & mask; };
    const tcflag_t parityBits = PARENB | PARODD | CMSPAR;
    EXPECT_EQ(cflag(parityBits), 0u);
    s.parity = TParity::Odd;
    EXPECT_EQ(cflag(parityBits), tcflag_t(PARENB | PARODD));
    s.parity = TParity::Even;
    EXPECT_EQ(cflag(parityBits), tcflag_t(PARENB));
    s.parity = TParity::Mark;
    EXPECT_EQ(cflag(parityBits), tcflag_t(PARENB | PARODD | CMSPAR));
    s.parity = TParity::Space;
    EXPECT_EQ(cflag(parityBits), tcflag_t(PARENB | CMSPAR));
    EXPECT_FALSE(commTermios(cookedLine(), s).c_iflag & INPCK);
    s.parityCheck = true;
    EXPECT_TRUE(commTermios(cookedLine(), s).c_iflag & INPCK);

    const std::pair<TByteSize, tcflag_t> sizes[] = {
        {TByteSize::_5, CS5}, {TByteSize::_6, CS6}, {TByteSize::_7, CS7}, {TByteSize::_8, CS8}};
    for (auto [size, code] : sizes) {
        s.byteSize = size;
        EXPECT_EQ(cflag(CSIZE), code);
    }
    EXPECT_FALSE(cflag(CSTOPB));
    for (auto stop : {TStopBits::_1_5, TStopBits::_2}) {
        s.stopBits = stop;
        EXPECT_TRUE(cflag(CSTOPB));
    }

    const termios t = commTermios(cookedLine(), s);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXANY), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_TRUE(t.c_cflag & HUPCL) << "flags the component does not own are kept";
}

TEST(CommTermios, FlowControlAndCharacters)
{
    CommLineSettings s;  // defaults: XON/XOFF both ways, no CTS
    termios t = commTermios(cookedLine(), s);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);

    s.outxXonXoffFlow = s.inxXonXoffFlow = false;
    s.outxCtsFlow = true;
    s.xonChar = 'Q';
    t = commTermios(cookedLine(), s);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_cc[VSTART], 'Q');

    s.outxCtsFlow = false;
    s.rtsControl = TRtsControl::RtsHandshake;
    EXPECT_TRUE(commTermios(cookedLine(), s).c_cflag & CRTSCTS);
}

TEST(CommTermios, SpeedsAndModemLines)
{
    CommLineSettings s;
    auto speed = [&] {
        const termios t = commTermios(cookedLine(), s);
        return cfgetospeed(&t);
    };
    for (auto [rate, code] :
         {std::pair{1200u, B1200}, {115200u, B115200}, {230400u, B230400}, {4000000u, B4000000}}) {
        s.baudRate = rate;
        EXPECT_EQ(speed(), code) << rate;
    }
    s.baudRate = 12345;  // no such constant: the current speed stays
    EXPECT_EQ(speed(), speed_t(B9600));

    s.dtrControl = TDtrControl::DtrHandshake;  // no DTR flow control here: DTR is simply raised
    s.rtsControl = TRtsControl::RtsDisable;
    EXPECT_EQ(commModemControl(s).raise, TIOCM_DTR);
    EXPECT_EQ(commModemControl(s).lower, TIOCM_RTS);
}

TEST(CommBookkeeping, ErrorCountersAndModemCountsGiveTheirBits)
{
    const LineErrorCounts base{1, 2, 3, 4, 5};
    EXPECT_EQ(lineErrorMask(base, base), 0u);
    EXPECT_EQ(lineErrorMask(base, {2, 2, 3, 4, 5}), CE_FRAME);
    EXPECT_EQ(lineErrorMask(base, {2, 3, 3, 5, 5}), CE_FRAME | CE_RXPARITY | CE_BREAK);
    EXPECT_EQ(lineErrorMask(base, {1, 2, 4, 4, 6}), CE_OVERRUN | CE_RXOVER);

    EXPECT_EQ(modemEventBits({0, 0}, {1, 0}), 4u);
    EXPECT_EQ(modemEventBits({0, 0}, {0, 1}), 8u);
    EXPECT_EQ(modemEventBits({0, 0}, {2, 3}), 12u);
    EXPECT_EQ(modemEventBits({5, 5}, {5, 5}), 0u);
}

TEST(CommProperties, DefaultsAndStorageWhileClosed)
{
    TComm comm;
    EXPECT_EQ(comm.CommName(), "COM2");
    EXPECT_EQ(comm.BaudRate(), 9600u);
    EXPECT_EQ(comm.ReadIntervalTimeout(), 100u);
    EXPECT_EQ(comm.XonLimit(), 500);
    EXPECT_TRUE(comm.TxContinueOnXoff() && comm.Outx_XonXoffFlow() && comm.Inx_XonXoffFlow());
    EXPECT_TRUE(!comm.isOpen() && comm.SendQueueEmpty());
    comm.setParity(TParity::Mark);
    comm.setReadIntervalTimeout(1);
    EXPECT_EQ(comm.Parity(), TParity::Mark);
    EXPECT_EQ(comm.ReadIntervalTimeout(), 1u);
}

// The modem-line watch sits in a call that only a signal can end; stopping
// must get it out promptly, even when the signal races the call's start.
TEST(InterruptibleThreadTest, StopEndsABlockingCallPromptly)
{
    for (int round = 0; round < 20; ++round) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        InterruptibleThread thread;
        thread.start([fd = pipeFds[0]](const std::atomic<bool>& stop) {
            char byte;
            while (!stop.load())
                if (::read(fd, &byte, 1) >= 0 || errno != EINTR)
                    break;
        });
        const auto before = std::chrono::steady_clock::now();
        thread.stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
    }
}

}  // namespace
}  // namespace pst
