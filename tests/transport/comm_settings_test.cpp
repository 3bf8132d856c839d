// The parts of the serial port that need no device: names, the termios
// mapping, error and modem bit bookkeeping, property storage.

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
    EXPECT_EQ(serialDevicePath("Com3"), "/dev/ttyS2");
    EXPECT_EQ(serialDevicePath("/tmp/x"), "/tmp/x");
    EXPECT_EQ(serialDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(serialDevicePath("COM0"), "COM0");
    EXPECT_EQ(serialDevicePath("COMx"), "COMx");
    EXPECT_EQ(serialDevicePath("COM"), "COM");
    EXPECT_EQ(serialDevicePath("COM1x"), "COM1x");
    EXPECT_EQ(serialDevicePath("COM-1"), "COM-1");
}

termios rawStart()
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

TEST(CommTermios, ParityMapsToParenbParoddCmspar)
{
    CommLineSettings s;
    auto flags = [&](TParity p) {
        s.parity = p;
        return commTermios(rawStart(), s).c_cflag & (PARENB | PARODD | CMSPAR);
    };
    EXPECT_EQ(flags(TParity::None), 0u);
    EXPECT_EQ(flags(TParity::Odd), tcflag_t(PARENB | PARODD));
    EXPECT_EQ(flags(TParity::Even), tcflag_t(PARENB));
    EXPECT_EQ(flags(TParity::Mark), tcflag_t(PARENB | PARODD | CMSPAR));
    EXPECT_EQ(flags(TParity::Space), tcflag_t(PARENB | CMSPAR));

    s.parityCheck = true;
    EXPECT_TRUE(commTermios(rawStart(), s).c_iflag & INPCK);
    s.parityCheck = false;
    EXPECT_FALSE(commTermios(rawStart(), s).c_iflag & INPCK);
}

TEST(CommTermios, ByteSizeStopBitsAndRawMode)
{
    CommLineSettings s;
    const TByteSize sizes[] = {TByteSize::_5, TByteSize::_6, TByteSize::_7, TByteSize::_8};
    const tcflag_t codes[] = {CS5, CS6, CS7, CS8};
    for (int i = 0; i < 4; ++i) {
        s.byteSize = sizes[i];
        EXPECT_EQ(commTermios(rawStart(), s).c_cflag & CSIZE, codes[i]);
    }
    s.stopBits = TStopBits::_1;
    EXPECT_FALSE(commTermios(rawStart(), s).c_cflag & CSTOPB);
    s.stopBits = TStopBits::_1_5;
    EXPECT_TRUE(commTermios(rawStart(), s).c_cflag & CSTOPB);
    s.stopBits = TStopBits::_2;
    EXPECT_TRUE(commTermios(rawStart(), s).c_cflag & CSTOPB);

    const termios t = commTermios(rawStart(), s);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXANY), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_TRUE(t.c_cflag & HUPCL) << "flags the component does not own are kept";
}

TEST(CommTermios, FlowControlAndCharacters)
{
    CommLineSettings s;  // defaults: XON/XOFF both ways, no CTS
    termios t = commTermios(rawStart(), s);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);

    s.outxXonXoffFlow = false;
    s.inxXonXoffFlow = false;
    s.xonChar = 'Q';
    s.xoffChar = 'S';
    s.outxCtsFlow = true;
    t = commTermios(rawStart(), s);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_cc[VSTART], 'Q');
    EXPECT_EQ(t.c_cc[VSTOP], 'S');

    s.outxCtsFlow = false;
    s.rtsControl = TRtsControl::RtsHandshake;
    EXPECT_TRUE(commTermios(rawStart(), s).c_cflag & CRTSCTS);
    s.rtsControl = TRtsControl::RtsEnable;
    EXPECT_FALSE(commTermios(rawStart(), s).c_cflag & CRTSCTS);
}

speed_t outputSpeed(const CommLineSettings& s)
{
    const termios t = commTermios(rawStart(), s);
    return cfgetospeed(&t);
}

TEST(CommTermios, SpeedsAndModemLines)
{
    CommLineSettings s;
    for (auto [rate, code] : {std::pair{1200u, B1200}, {9600u, B9600}, {115200u, B115200}, {230400u, B230400},
                              {4000000u, B4000000}}) {
        s.baudRate = rate;
        EXPECT_EQ(outputSpeed(s), code) << rate;
    }
    s.baudRate = 12345;  // no such constant: the current speed stays
    EXPECT_EQ(outputSpeed(s), speed_t(B9600));

    s.dtrControl = TDtrControl::DtrDisable;
    s.rtsControl = TRtsControl::RtsDisable;
    ModemControl m = commModemControl(s);
    EXPECT_EQ(m.raise, 0);
    EXPECT_EQ(m.lower, TIOCM_DTR | TIOCM_RTS);
    s.dtrControl = TDtrControl::DtrHandshake;
    s.rtsControl = TRtsControl::RtsTransmissionAvailable;
    m = commModemControl(s);
    EXPECT_EQ(m.raise, TIOCM_DTR);
    EXPECT_EQ(m.lower, 0);
}

TEST(CommBookkeeping, ErrorCountersAndModemCountsGiveTheirBits)
{
    const LineErrorCounts base{1, 2, 3, 4, 5};
    EXPECT_EQ(lineErrorMask(base, base), 0u);
    LineErrorCounts c = base;
    c.frame++;
    EXPECT_EQ(lineErrorMask(base, c), CE_FRAME);
    c.parity++;
    c.brk++;
    EXPECT_EQ(lineErrorMask(base, c), CE_FRAME | CE_RXPARITY | CE_BREAK);
    c = base;
    c.overrun++;
    c.bufOverrun++;
    EXPECT_EQ(lineErrorMask(base, c), CE_OVERRUN | CE_RXOVER);

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
    EXPECT_FALSE(comm.ParityCheck());
    EXPECT_EQ(comm.DtrControl(), TDtrControl::DtrEnable);
    EXPECT_TRUE(comm.TxContinueOnXoff());
    EXPECT_TRUE(comm.Outx_XonXoffFlow());
    EXPECT_TRUE(comm.Inx_XonXoffFlow());
    EXPECT_EQ(comm.RtsControl(), TRtsControl::RtsEnable);
    EXPECT_EQ(comm.XonLimit(), 500);
    EXPECT_EQ(comm.XoffLimit(), 500);
    EXPECT_EQ(comm.ByteSize(), TByteSize::_8);
    EXPECT_EQ(comm.Parity(), TParity::None);
    EXPECT_EQ(comm.StopBits(), TStopBits::_1);
    EXPECT_EQ(comm.XonChar(), 0x11);
    EXPECT_EQ(comm.XoffChar(), 0x13);
    EXPECT_EQ(comm.ReplacedChar(), 0);
    EXPECT_EQ(comm.ReadIntervalTimeout(), 100u);
    EXPECT_EQ(comm.ReadTotalTimeoutConstant(), 0u);
    EXPECT_EQ(comm.WriteTotalTimeoutMultiplier(), 0u);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_TRUE(comm.SendQueueEmpty());

    comm.SetBaudRate(115200);
    comm.SetParity(TParity::Mark);
    comm.SetReadIntervalTimeout(1);
    comm.SetXoffLimit(7);
    EXPECT_EQ(comm.BaudRate(), 115200u);
    EXPECT_EQ(comm.Parity(), TParity::Mark);
    EXPECT_EQ(comm.ReadIntervalTimeout(), 1u);
    EXPECT_EQ(comm.XoffLimit(), 7);
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
