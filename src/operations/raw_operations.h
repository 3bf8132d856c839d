#pragma once
// The worker's handlers of the raw printer commands. None is answered and
// none closes the link; the next operation's open closes it first.

namespace pst {

class OperationContext;

void RunPrintLogos(OperationContext& context);            // 17: 1C 70 n 00 per logo, opened
void RunSetInterfaceOption(OperationContext& context);    // 23: USB type, paper type, print order, opened
void RunSetBlackMarkMode(OperationContext& context);      // 31, opened
void RunCancelBlackMark(OperationContext& context);       // 32, opened
void RunSetBlackMarkDistance(OperationContext& context);  // 33, opened
void RunSetBlackMarkWidth(OperationContext& context);     // 34, opened
void RunSetFeedAfterMark(OperationContext& context);      // 35, opened
void RunFindBlackMark(OperationContext& context);         // 36, opened
void RunSetEthernetMask(OperationContext& context);       // 37, bare
void RunSetEthernetGateway(OperationContext& context);    // 38, bare
void RunSetEthernetPort(OperationContext& context);       // 39, bare
void RunSetEthernetMac(OperationContext& context);        // 40, bare
void RunSetEthernetIp(OperationContext& context);         // 41, bare
void RunFindBlackMarkAndCut(OperationContext& context);   // 44, opened
void RunBlackMarkTestPrint(OperationContext& context);    // 45, opened

}  // namespace pst
