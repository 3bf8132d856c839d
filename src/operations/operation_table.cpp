#include "operations/operation_table.h"

#include <array>

#include "engine/comm_thread.h"
#include "operations/file_download.h"
#include "operations/link_check.h"
#include "operations/program_update.h"
#include "operations/raw_operations.h"
#include "operations/settings_operations.h"

namespace pst {

namespace {

// Index = operation number. Operations without an entry yet end with error
// code 1 and a text saying so (see the per-run sequence).
constexpr std::array<OperationHandler, TCommThread::kLastOperation + 1> kHandlers = [] {
    std::array<OperationHandler, TCommThread::kLastOperation + 1> table{};
    table[1] = &RunLinkTest;
    // Updates, downloads and read-back.
    table[2] = &RunMemoryRead;
    table[3] = &RunFileDownload;
    table[4] = &RunProgramUpdate;
    table[7] = &RunFileDownload;
    table[16] = &RunMemoryReadBack;
    table[25] = &RunFirmwareUpdate;
    table[28] = &RunBootHandshake;
    // Settings commands.
    table[5] = &RunSetIp;
    table[6] = &RunSetCodePage;
    table[8] = &RunSetBaudRate;
    table[9] = &RunSetSwitchOptions;
    table[10] = &RunRestoreDefaults;
    table[11] = &RunSetBluetooth;
    table[12] = &RunSetWifiStation;
    table[13] = &RunCloseWifi;
    table[14] = &RunSetInfrared;
    table[15] = &RunSetProduct;
    table[18] = &RunSetSleepTimes;
    table[19] = &RunSetAllParameters;
    table[20] = &RunSetSwitchOptions;
    table[21] = &RunSetWifiAccessPoint;
    table[22] = &RunSendBluetoothControl;
    table[24] = &RunSetRecyclingTime;
    table[26] = &RunRawPair8D00;
    table[27] = &RunBluetoothHidingOff;
    table[29] = &RunRawPair8D01;
    table[30] = &RunBluetoothHidingOn;
    table[42] = &RunFlowControlSoftware;
    table[43] = &RunFlowControlHardware;
    // Raw printer commands.
    table[17] = &RunPrintLogos;
    table[23] = &RunSetInterfaceOption;
    table[31] = &RunSetBlackMarkMode;
    table[32] = &RunCancelBlackMark;
    table[33] = &RunSetBlackMarkDistance;
    table[34] = &RunSetBlackMarkWidth;
    table[35] = &RunSetFeedAfterMark;
    table[36] = &RunFindBlackMark;
    table[37] = &RunSetEthernetMask;
    table[38] = &RunSetEthernetGateway;
    table[39] = &RunSetEthernetPort;
    table[40] = &RunSetEthernetMac;
    table[41] = &RunSetEthernetIp;
    table[44] = &RunFindBlackMarkAndCut;
    table[45] = &RunBlackMarkTestPrint;
    return table;
}();

}  // namespace

OperationHandler operationHandler(int operation)
{
    if (operation < 1 || operation > TCommThread::kLastOperation)
        return nullptr;
    return kHandlers[static_cast<std::size_t>(operation)];
}

}  // namespace pst
