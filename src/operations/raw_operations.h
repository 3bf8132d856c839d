#pragma once
// The worker's handlers of the raw printer commands. None is answered and
// none closes the link; the next operation's open closes it first.

namespace pst {

class TCommThread;

void RunPrintLogos(TCommThread& worker);            // 17: 1C 70 n 00 per logo, opened
void RunSetInterfaceOption(TCommThread& worker);    // 23: USB type, paper type, print order, opened
void RunSetBlackMarkMode(TCommThread& worker);      // 31, opened
void RunCancelBlackMark(TCommThread& worker);       // 32, opened
void RunSetBlackMarkDistance(TCommThread& worker);  // 33, opened
void RunSetBlackMarkWidth(TCommThread& worker);     // 34, opened
void RunSetFeedAfterMark(TCommThread& worker);      // 35, opened
void RunFindBlackMark(TCommThread& worker);         // 36, opened
void RunSetEthernetMask(TCommThread& worker);       // 37, bare
void RunSetEthernetGateway(TCommThread& worker);    // 38, bare
void RunSetEthernetPort(TCommThread& worker);       // 39, bare
void RunSetEthernetMac(TCommThread& worker);        // 40, bare
void RunSetEthernetIp(TCommThread& worker);         // 41, bare
void RunFindBlackMarkAndCut(TCommThread& worker);   // 44, opened
void RunBlackMarkTestPrint(TCommThread& worker);    // 45, opened

}  // namespace pst
