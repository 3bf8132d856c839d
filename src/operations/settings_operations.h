#pragma once
// The worker's handlers of the settings operations: one confirmed packet
// each (flow control and the raw pairs are written bare, unanswered).

namespace pst {

class TCommThread;

void RunSetIp(TCommThread& worker);                 // 5: 0x20, the arguments in the header
void RunSetCodePage(TCommThread& worker);           // 6: 0x80, argument 1 as the payload
void RunSetBaudRate(TCommThread& worker);           // 8: 0x81, argument 1 as the payload
void RunSetSwitchOptions(TCommThread& worker);      // 9 and 20: 0x82
void RunRestoreDefaults(TCommThread& worker);       // 10: 0x79
void RunSetBluetooth(TCommThread& worker);          // 11: 0x83
void RunSetWifiStation(TCommThread& worker);        // 12: 0x8A
void RunCloseWifi(TCommThread& worker);             // 13: 0x8B
void RunSetInfrared(TCommThread& worker);           // 14: 0x84
void RunSetProduct(TCommThread& worker);            // 15: 0x85
void RunSetSleepTimes(TCommThread& worker);         // 18: 0x86
void RunSetAllParameters(TCommThread& worker);      // 19: 0x88
void RunSetWifiAccessPoint(TCommThread& worker);    // 21: 0x89
void RunSendBluetoothControl(TCommThread& worker);  // 22: 0x87
void RunSetRecyclingTime(TCommThread& worker);      // 24: 0x8C
void RunRawPair8D00(TCommThread& worker);           // 26
void RunBluetoothHidingOff(TCommThread& worker);    // 27: 8E 00
void RunRawPair8D01(TCommThread& worker);           // 29
void RunBluetoothHidingOn(TCommThread& worker);     // 30: 8E 01
void RunFlowControlSoftware(TCommThread& worker);   // 42: bare 0x8D packet, payload 00
void RunFlowControlHardware(TCommThread& worker);   // 43: bare 0x8D packet, payload 01

}  // namespace pst
