#include "operations/operation_table.h"

#include <array>
#include <utility>

#include "operations/operation.h"
#include "operations/confirmed_settings.h"
#include "operations/file_download.h"
#include "operations/link_check.h"
#include "operations/program_update.h"
#include "operations/raw_operations.h"
#include "operations/settings_operations.h"
#include "operations/speed_settling.h"

namespace pst {

namespace {

using HandlerArray = std::array<OperationHandler, kLastOperation + 1>;

constexpr void put(HandlerArray& table, Operation operation, OperationHandler handler)
{
    table[static_cast<std::size_t>(operationNumber(operation))] = handler;
}

// Index = operation number. Operations without an entry yet end with error
// code 1 and a text saying so (see the per-run sequence).
constexpr HandlerArray kHandlers = [] {
    HandlerArray table{};
    put(table, Operation::LinkTest, &RunLinkTest);
    // Updates, downloads and read-back.
    put(table, Operation::ReadMemoryBlock, &RunMemoryRead);
    put(table, Operation::FontDownload, &RunFileDownload);
    put(table, Operation::ProgramUpdate, &RunProgramUpdate);
    put(table, Operation::LogoDownload, &RunFileDownload);
    put(table, Operation::ReadFontMemory, &RunMemoryReadBack);
    put(table, Operation::FirmwareUpdate, &RunFirmwareUpdate);
    put(table, Operation::BootHandshake, &RunBootHandshake);
    // Settings commands.
    for (const ConfirmedSetting& setting : kConfirmedSettings)
        put(table, setting.operation, &RunConfirmedSetting);
    put(table, Operation::SetIp, &RunSetIp);
    put(table, Operation::SetCodePage, &RunSetCodePage);
    put(table, Operation::SetBaudRate, &RunSetBaudRate);
    put(table, Operation::CloseWifi, &RunCloseWifi);
    put(table, Operation::SetAllParameters, &RunSetAllParameters);
    put(table, Operation::RawPair8D00, &RunRawPair8D00);
    put(table, Operation::BluetoothHidingOff, &RunBluetoothHidingOff);
    put(table, Operation::RawPair8D01, &RunRawPair8D01);
    put(table, Operation::BluetoothHidingOn, &RunBluetoothHidingOn);
    put(table, Operation::FlowControlSoftware, &RunFlowControlSoftware);
    put(table, Operation::FlowControlHardware, &RunFlowControlHardware);
    // Raw printer commands.
    put(table, Operation::PrintLogos, &RunPrintLogos);
    put(table, Operation::SetInterfaceOption, &RunSetInterfaceOption);
    put(table, Operation::SetBlackMarkMode, &RunSetBlackMarkMode);
    put(table, Operation::CancelBlackMark, &RunCancelBlackMark);
    put(table, Operation::SetBlackMarkDistance, &RunSetBlackMarkDistance);
    put(table, Operation::SetBlackMarkWidth, &RunSetBlackMarkWidth);
    put(table, Operation::SetFeedAfterMark, &RunSetFeedAfterMark);
    put(table, Operation::FindBlackMark, &RunFindBlackMark);
    put(table, Operation::SetEthernetMask, &RunSetEthernetMask);
    put(table, Operation::SetEthernetGateway, &RunSetEthernetGateway);
    put(table, Operation::SetEthernetPort, &RunSetEthernetPort);
    put(table, Operation::SetEthernetMac, &RunSetEthernetMac);
    put(table, Operation::SetEthernetIp, &RunSetEthernetIp);
    put(table, Operation::FindBlackMarkAndCut, &RunFindBlackMarkAndCut);
    put(table, Operation::BlackMarkTestPrint, &RunBlackMarkTestPrint);
    return table;
}();

// Each handler as the worker runs it: followed, however it ended, by the
// switch back the printer may still be owed.
template <std::size_t N> void runSettled(OperationContext& context)
{
    RunSettled(context, kHandlers[N]);
}

// Every number gets its wrapper; operationHandler leaves out the numbers
// without a handler. (Whether a function's address is null is not a
// constant to every compiler: sanitizer builds refuse to decide it here.)
template <std::size_t... N> constexpr HandlerArray settledHandlers(std::index_sequence<N...>)
{
    return {{&runSettled<N>...}};
}

constexpr HandlerArray kSettledHandlers = settledHandlers(std::make_index_sequence<kLastOperation + 1>{});

}  // namespace

OperationHandler operationHandler(Operation operation)
{
    const int number = operationNumber(operation);
    if (number < kFirstOperation || number > kLastOperation)
        return nullptr;
    const auto at = static_cast<std::size_t>(number);
    return kHandlers[at] ? kSettledHandlers[at] : nullptr;
}

}  // namespace pst
