#include "operations/raw_operations.h"

#include "engine/comm_thread.h"
#include "protocol/input_error.h"
#include "protocol/raw_payloads.h"
#include "operations/raw_sending.h"

namespace pst {

namespace {

// Builds the bytes first, so that a refused hand-over touches no link.
template <typename Build> void runOpened(TCommThread& worker, Build build)
{
    worker.Guarded([&] {
        const RawBytes bytes = build();
        SendOpenedRaw(worker, bytes);
    });
}

void runEthernetField(TCommThread& worker, EthernetField field)
{
    worker.Guarded([&] {
        const RawBytes bytes = EthernetFieldCommand(field, worker.RunHandOver().paramBlock);
        SendBareRaw(worker, bytes);
    });
}

// The largest test print the hand-over block of the window can hold.
constexpr std::size_t kMaxTestPrintBytes = 4096;

}  // namespace

void RunPrintLogos(TCommThread& worker)
{
    worker.Guarded([&] {
        const auto numbers = ParseLogoPrintList(worker.RunHandOver().logoPrintList);
        worker.OpenLink(worker.Run().comName, worker.Run().transferSpeed);
        for (std::uint8_t number : numbers) {
            const RawBytes bytes = LogoPrintCommand(number);
            worker.WriteBytes(bytes.data(), bytes.size());
        }
        worker.RestoreLinkSpeed();
    });
}

void RunSetInterfaceOption(TCommThread& worker)
{
    runOpened(worker, [&] {
        const int selector = worker.Argument1();
        if (selector < 0 || selector > 2)
            throw EInvalidInput("No interface option has the number " + std::to_string(selector));
        return InterfaceOptionCommand(static_cast<InterfaceOption>(selector), worker.Argument2());
    });
}

void RunSetBlackMarkMode(TCommThread& worker)
{
    runOpened(worker, [] { return BlackMarkModeCommand(); });
}

void RunCancelBlackMark(TCommThread& worker)
{
    runOpened(worker, [] { return CancelBlackMarkCommand(); });
}

void RunSetBlackMarkDistance(TCommThread& worker)
{
    runOpened(worker, [&] { return BlackMarkDistanceCommand(worker.RunHandOver().paramBlock); });
}

void RunSetBlackMarkWidth(TCommThread& worker)
{
    runOpened(worker, [&] { return BlackMarkWidthCommand(worker.RunHandOver().paramBlock); });
}

void RunSetFeedAfterMark(TCommThread& worker)
{
    runOpened(worker, [&] { return FeedAfterMarkCommand(worker.RunHandOver().paramBlock); });
}

void RunFindBlackMark(TCommThread& worker)
{
    runOpened(worker, [] { return FindBlackMarkCommand(); });
}

void RunSetEthernetMask(TCommThread& worker)
{
    runEthernetField(worker, EthernetField::SubnetMask);
}

void RunSetEthernetGateway(TCommThread& worker)
{
    runEthernetField(worker, EthernetField::Gateway);
}

void RunSetEthernetPort(TCommThread& worker)
{
    runEthernetField(worker, EthernetField::Port);
}

void RunSetEthernetMac(TCommThread& worker)
{
    runEthernetField(worker, EthernetField::Mac);
}

void RunSetEthernetIp(TCommThread& worker)
{
    runEthernetField(worker, EthernetField::IpAddress);
}

void RunFindBlackMarkAndCut(TCommThread& worker)
{
    runOpened(worker, [] { return FindBlackMarkAndCutCommand(); });
}

void RunBlackMarkTestPrint(TCommThread& worker)
{
    runOpened(worker, [&] {
        const RawBytes& receipt = worker.RunHandOver().paramBlock;
        if (receipt.empty() || receipt.size() > kMaxTestPrintBytes)
            throw EInvalidInput("The test receipt was not handed over");
        return receipt;
    });
}

}  // namespace pst
