// The serial port's line settings as the Windows driver takes them.

#include <gtest/gtest.h>

#include "transport/comm_dcb.h"

namespace pst {
namespace {

TEST(CommDcb, FlagsAreRebuiltFromTheSettingsAndOtherFieldsKept)
{
    DCB current{};
    current.DCBlength = sizeof current;
    // Everything the driver had set must not leak into the new record.
    current.fParity = current.fOutxCtsFlow = current.fOutxDsrFlow = TRUE;
    current.fDtrControl = DTR_CONTROL_HANDSHAKE;
    current.fRtsControl = RTS_CONTROL_TOGGLE;
    current.fOutX = current.fInX = current.fNull = current.fAbortOnError = TRUE;
    current.EofChar = 0x1A;
    current.EvtChar = 0x7E;

    CommLineSettings settings;
    settings.baudRate = 115200;
    settings.txContinueOnXoff = false;
    settings.outxXonXoffFlow = false;
    settings.inxXonXoffFlow = false;
    settings.dtrControl = TDtrControl::DtrDisable;
    settings.rtsControl = TRtsControl::RtsDisable;
    const DCB dcb = commDcb(current, settings);

    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_FALSE(dcb.fParity);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_FALSE(dcb.fOutxDsrFlow);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    EXPECT_FALSE(dcb.fNull);
    EXPECT_FALSE(dcb.fAbortOnError);
    EXPECT_EQ(dcb.EofChar, 0x1A);
    EXPECT_EQ(dcb.EvtChar, 0x7E);
}

TEST(CommDcb, ChoicesMapToTheDriversCodes)
{
    CommLineSettings settings;
    settings.byteSize = TByteSize::_7;
    settings.parity = TParity::Even;
    settings.stopBits = TStopBits::_2;
    settings.dtrControl = TDtrControl::DtrHandshake;
    settings.rtsControl = TRtsControl::RtsTransmissionAvailable;
    settings.xonLimit = 100;
    settings.xoffLimit = 200;
    settings.replacedChar = '?';
    DCB dcb = commDcb(DCB{}, settings);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_HANDSHAKE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_TOGGLE));
    EXPECT_EQ(dcb.XonLim, 100);
    EXPECT_EQ(dcb.XoffLim, 200);
    EXPECT_EQ(dcb.ErrorChar, '?');

    // The defaults: DTR and RTS raised, XON/XOFF both ways.
    dcb = commDcb(DCB{}, CommLineSettings{});
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
    EXPECT_TRUE(dcb.fOutX);
    EXPECT_TRUE(dcb.fInX);
    EXPECT_TRUE(dcb.fTXContinueOnXoff);
    EXPECT_EQ(dcb.ByteSize, 8);
}

TEST(CommDcb, TimeoutsGoOverAsGiven)
{
    const COMMTIMEOUTS t = commTimeouts({.readInterval = 1, .readTotalMultiplier = 2, .readTotalConstant = 3,
                                         .writeTotalMultiplier = 4, .writeTotalConstant = 5});
    EXPECT_EQ(t.ReadIntervalTimeout, 1u);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 2u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 3u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 4u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 5u);
}

}  // namespace
}  // namespace pst
