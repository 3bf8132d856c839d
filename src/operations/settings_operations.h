#pragma once
// The worker's handlers of the settings operations: one confirmed packet
// each (flow control and the raw pairs are written bare, unanswered).

namespace pst {

class OperationContext;

void RunSetIp(OperationContext& context);                 // 5: 0x20, the arguments in the header
void RunSetCodePage(OperationContext& context);           // 6: 0x80, argument 1 as the payload
void RunSetBaudRate(OperationContext& context);           // 8: 0x81, argument 1 as the payload
void RunCloseWifi(OperationContext& context);             // 13: 0x8B
void RunSetAllParameters(OperationContext& context);      // 19: 0x88
void RunConfirmedSetting(OperationContext& context);     // see confirmed_settings.h
void RunRawPair8D00(OperationContext& context);           // 26
void RunBluetoothHidingOff(OperationContext& context);    // 27: 8E 00
void RunRawPair8D01(OperationContext& context);           // 29
void RunBluetoothHidingOn(OperationContext& context);     // 30: 8E 01
void RunFlowControlSoftware(OperationContext& context);   // 42: bare 0x8D packet, payload 00
void RunFlowControlHardware(OperationContext& context);   // 43: bare 0x8D packet, payload 01

}  // namespace pst
