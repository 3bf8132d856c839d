#include "operations/raw_operations.h"

#include "engine/operation_context.h"
#include "protocol/input_error.h"
#include "protocol/raw_payloads.h"
#include "operations/raw_sending.h"
#include "texts/message_texts.h"

namespace pst {

namespace {

// Builds the bytes first, so that a refused hand-over touches no link.
template <typename Build> void runOpened(OperationContext& context, Build build)
{
    context.guarded([&] {
        const RawBytes bytes = build();
        SendOpenedRaw(context, bytes);
    });
}

void runEthernetField(OperationContext& context, EthernetField field)
{
    context.guarded([&] {
        const RawBytes bytes = EthernetFieldCommand(field, context.handOver().paramBlock);
        SendBareRaw(context, bytes);
    });
}

// The largest test print the hand-over block of the window can hold.
constexpr std::size_t kMaxTestPrintBytes = 4096;

}  // namespace

void RunPrintLogos(OperationContext& context)
{
    context.guarded([&] {
        const auto numbers = ParseLogoPrintList(context.handOver().logoPrintList);
        context.openLink();
        for (std::uint8_t number : numbers) {
            const RawBytes bytes = LogoPrintCommand(number);
            WriteOrFail(context, bytes);
        }
        context.restoreLinkSpeed();
        context.showStatus(MessageText(kSentNoReplyKey));
    });
}

void RunSetInterfaceOption(OperationContext& context)
{
    runOpened(context, [&] {
        const int selector = context.argument1();
        if (selector < 0 || selector > 2)
            throw EInvalidInput("No interface option has the number " + std::to_string(selector));
        return InterfaceOptionCommand(static_cast<InterfaceOption>(selector), context.argument2());
    });
}

void RunSetBlackMarkMode(OperationContext& context)
{
    runOpened(context, [] { return BlackMarkModeCommand(); });
}

void RunCancelBlackMark(OperationContext& context)
{
    runOpened(context, [] { return CancelBlackMarkCommand(); });
}

void RunSetBlackMarkDistance(OperationContext& context)
{
    runOpened(context, [&] { return BlackMarkDistanceCommand(context.handOver().paramBlock); });
}

void RunSetBlackMarkWidth(OperationContext& context)
{
    runOpened(context, [&] { return BlackMarkWidthCommand(context.handOver().paramBlock); });
}

void RunSetFeedAfterMark(OperationContext& context)
{
    runOpened(context, [&] { return FeedAfterMarkCommand(context.handOver().paramBlock); });
}

void RunFindBlackMark(OperationContext& context)
{
    runOpened(context, [] { return FindBlackMarkCommand(); });
}

void RunSetEthernetMask(OperationContext& context)
{
    runEthernetField(context, EthernetField::SubnetMask);
}

void RunSetEthernetGateway(OperationContext& context)
{
    runEthernetField(context, EthernetField::Gateway);
}

void RunSetEthernetPort(OperationContext& context)
{
    runEthernetField(context, EthernetField::Port);
}

void RunSetEthernetMac(OperationContext& context)
{
    runEthernetField(context, EthernetField::Mac);
}

void RunSetEthernetIp(OperationContext& context)
{
    runEthernetField(context, EthernetField::IpAddress);
}

void RunFindBlackMarkAndCut(OperationContext& context)
{
    runOpened(context, [] { return FindBlackMarkAndCutCommand(); });
}

void RunBlackMarkTestPrint(OperationContext& context)
{
    runOpened(context, [&] {
        const RawBytes& receipt = context.handOver().paramBlock;
        if (receipt.empty() || receipt.size() > kMaxTestPrintBytes)
            throw EInvalidInput("The test receipt was not handed over");
        return receipt;
    });
}

}  // namespace pst
