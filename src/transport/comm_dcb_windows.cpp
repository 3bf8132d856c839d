#include "transport/comm_dcb.h"

namespace pst {

namespace {

// The component's DTR and RTS choices are ordered differently from the
// driver's codes.
DWORD dtrCode(TDtrControl control)
{
    switch (control) {
    case TDtrControl::DtrEnable:
        return DTR_CONTROL_ENABLE;
    case TDtrControl::DtrHandshake:
        return DTR_CONTROL_HANDSHAKE;
    case TDtrControl::DtrDisable:
        break;
    }
    return DTR_CONTROL_DISABLE;
}

DWORD rtsCode(TRtsControl control)
{
    switch (control) {
    case TRtsControl::RtsEnable:
        return RTS_CONTROL_ENABLE;
    case TRtsControl::RtsHandshake:
        return RTS_CONTROL_HANDSHAKE;
    case TRtsControl::RtsTransmissionAvailable:
        return RTS_CONTROL_TOGGLE;
    case TRtsControl::RtsDisable:
        break;
    }
    return RTS_CONTROL_DISABLE;
}

}  // namespace

DCB commDcb(const DCB& current, const CommLineSettings& settings)
{
    DCB dcb = current;
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = settings.baudRate;

    // Every flag is set from the settings; fAbortOnError stays off, so a
    // line error never stalls reads and writes until it is cleared.
    dcb.fBinary = TRUE;
    dcb.fParity = settings.parityCheck;
    dcb.fOutxCtsFlow = settings.outxCtsFlow;
    dcb.fOutxDsrFlow = settings.outxDsrFlow;
    dcb.fDtrControl = dtrCode(settings.dtrControl);
    dcb.fDsrSensitivity = settings.dsrSensitivity;
    dcb.fTXContinueOnXoff = settings.txContinueOnXoff;
    dcb.fOutX = settings.outxXonXoffFlow;
    dcb.fInX = settings.inxXonXoffFlow;
    dcb.fErrorChar = settings.replaceWhenParityError;
    dcb.fNull = settings.ignoreNullChar;
    dcb.fRtsControl = rtsCode(settings.rtsControl);
    dcb.fAbortOnError = FALSE;
    dcb.fDummy2 = 0;

    dcb.XonLim = settings.xonLimit;
    dcb.XoffLim = settings.xoffLimit;
    dcb.ByteSize = static_cast<BYTE>(static_cast<int>(settings.byteSize) + 5);
    dcb.Parity = static_cast<BYTE>(settings.parity);
    dcb.StopBits = static_cast<BYTE>(settings.stopBits);
    dcb.XonChar = settings.xonChar;
    dcb.XoffChar = settings.xoffChar;
    dcb.ErrorChar = settings.replacedChar;
    return dcb;
}

COMMTIMEOUTS commTimeouts(const CommTimeouts& timeouts)
{
    COMMTIMEOUTS result{};
    result.ReadIntervalTimeout = timeouts.readInterval;
    result.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
    result.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
    result.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
    result.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
    return result;
}

}  // namespace pst
