// The raw printer commands of pennafor-cli: unanswered printer-language
// bytes, after the full link setup (opened) or straight onto the port as it
// was last set (bare). None closes the link.

#include "cli/operation_commands.h"
#include "cli/printer_lists.h"
#include "texts/message_texts.h"
#include "protocol/dotted_address.h"
#include "protocol/input_error.h"
#include "protocol/raw_payloads.h"

namespace pst::cli {

namespace {

// The black-mark edits take at most this many digits.
constexpr std::size_t kDistanceDigits = 4;
constexpr std::size_t kWidthDigits = 3;
constexpr std::size_t kFeedDigits = 4;

OperationRequest opened(int operation, std::size_t bytes, ParamBlock block = {}, std::int32_t argument1 = 0,
                        std::int32_t argument2 = 0)
{
    return {.operation = operation,
            .argument1 = argument1,
            .argument2 = argument2,
            .handOver = {.paramBlock = std::move(block)},
            .style = SendingStyle::Opened,
            .bytesToSend = bytes};
}

OperationRequest bareEthernetField(int operation, EthernetField field, ParamBlock block)
{
    return {.operation = operation,
            .handOver = {.paramBlock = std::move(block)},
            .style = SendingStyle::Bare,
            .bytesToSend = 2 + EthernetFieldBytes(field)};
}

OperationRequest interfaceOption(Arguments& args, InterfaceOption option, const char* what,
                                 const ListNames& names)
{
    const int position = parseListChoice(args.positional(what), what, names);
    InterfaceOptionByte(option, position);  // refuses what the window's list could not hold
    return opened(23, 3, {}, static_cast<std::int32_t>(option), position);
}

OperationRequest buildPrintLogos(Arguments& args)
{
    // "1,3" as the window hands it over, or the numbers as separate words.
    std::string list = args.positional("the logo numbers");
    while (const auto more = args.optionalPositional())
        list += "," + *more;
    const auto numbers = ParseLogoPrintList(list);
    OperationRequest request = opened(17, 4 * numbers.size());
    request.handOver.logoPrintList = LogoPrintList({numbers.begin(), numbers.end()});
    return request;
}

OperationRequest buildSetUsbType(Arguments& args)
{
    return interfaceOption(args, InterfaceOption::UsbDeviceType, "USB device type", usbTypeNames());
}

OperationRequest buildSetPaperType(Arguments& args)
{
    return interfaceOption(args, InterfaceOption::PaperType, "paper type", paperTypeNames());
}

OperationRequest buildSetPrintOrder(Arguments& args)
{
    return interfaceOption(args, InterfaceOption::PrintOrder, "print order", printOrderNames());
}

OperationRequest buildBlackMark(Arguments& args)
{
    const bool on = parseOnOff(args.positional("on or off"), "black-mark");
    return opened(on ? 31 : 32, 8);
}

OperationRequest buildBlackMarkDistance(Arguments& args)
{
    const std::int32_t mm =
        parseDigits(args.positional("the distance in mm"), "the distance", kDistanceDigits);
    return opened(33, 9, BlackMarkDistanceBlock(mm));
}

OperationRequest buildBlackMarkWidth(Arguments& args)
{
    const std::int32_t mm = parseDigits(args.positional("the width in mm"), "the width", kWidthDigits);
    return opened(34, 9, BlackMarkWidthBlock(mm));
}

OperationRequest buildBlackMarkFeed(Arguments& args)
{
    const std::int32_t mm = parseDigits(args.positional("the feed in mm"), "the feed", kFeedDigits);
    return opened(35, 9, FeedAfterMarkBlock(mm));
}

OperationRequest buildFindBlackMark(Arguments& /*args*/)
{
    return opened(36, 1);
}

OperationRequest buildFindBlackMarkAndCut(Arguments& /*args*/)
{
    return opened(44, 3);
}

OperationRequest buildTestPrint(Arguments& /*args*/)
{
    ParamBlock receipt = HexTextToBlock(kTestReceiptHex);
    const std::size_t bytes = receipt.size();
    return opened(45, bytes, std::move(receipt));
}

// The address edits are checked when they are left (IP address and mask),
// then the set buttons parse them part by part.
OperationRequest buildSetNetIp(Arguments& args)
{
    const std::string text = args.positional("the IP address");
    if (!IsAcceptedAddress(text))
        throw EInvalidInput(MessageText("SIPError"));
    return bareEthernetField(41, EthernetField::IpAddress, EthernetAddressBlock(text));
}

OperationRequest buildSetNetMask(Arguments& args)
{
    const std::string text = args.positional("the subnet mask");
    if (!IsAcceptedAddress(text))
        throw EInvalidInput(MessageText("SMaskError"));
    return bareEthernetField(37, EthernetField::SubnetMask, EthernetAddressBlock(text));
}

OperationRequest buildSetNetGateway(Arguments& args)
{
    return bareEthernetField(38, EthernetField::Gateway,
                             EthernetAddressBlock(args.positional("the gateway")));
}

OperationRequest buildSetNetPort(Arguments& args)
{
    return bareEthernetField(39, EthernetField::Port, EthernetPortBlock(args.positional("the port")));
}

OperationRequest buildSetNetMac(Arguments& args)
{
    // Four hexadecimal bytes, as four words or joined by colons.
    std::vector<std::string> parts;
    while (const auto word = args.optionalPositional()) {
        std::string_view rest = *word;
        while (true) {
            const std::size_t colon = rest.find(':');
            parts.emplace_back(rest.substr(0, colon));
            if (colon == std::string_view::npos)
                break;
            rest.remove_prefix(colon + 1);
        }
    }
    if (parts.size() != 4)
        throw UsageError("give the last four bytes of the MAC address, such as 65 66 67 68 or 65:66:67:68");
    return bareEthernetField(40, EthernetField::Mac,
                             EthernetMacBlock({parts[0], parts[1], parts[2], parts[3]}));
}

constexpr OperationCommand kCommands[] = {
    {"print-logos", "N[,N...]", "print stored (NV) logos by their numbers (1C 70 n 00 each)",
     "Numbers are the 1-based positions in the downloaded logo list, such as 1,3.", &buildPrintLogos},
    {"set-usb-type", "TYPE", "set the USB interface type (12 55 n)", "TYPE is virtual-serial or printer.",
     &buildSetUsbType},
    {"set-paper-type", "TYPE", "set the paper type (1F 41 n)", "TYPE is receipt or label.",
     &buildSetPaperType},
    {"set-print-order", "ORDER", "set the print order (1B 7B F1 / F0)", "ORDER is reverse or normal.",
     &buildSetPrintOrder},
    {"black-mark", "on|off", "switch black-mark mode on or off", "", &buildBlackMark},
    {"black-mark-distance", "MM", "set the black-mark search distance (hint: 400 to 4000 mm)", "",
     &buildBlackMarkDistance},
    {"black-mark-width", "MM", "set the black-mark width (hint: 40 to 120 mm)", "", &buildBlackMarkWidth},
    {"black-mark-feed", "MM", "set the feed after a found mark before cutting (hint: 0 to 1700 mm)", "",
     &buildBlackMarkFeed},
    {"find-black-mark", "", "feed to the next black mark (0C)", "", &buildFindBlackMark},
    {"find-black-mark-cut", "", "feed to the next black mark and cut (0C 1B 69)", "",
     &buildFindBlackMarkAndCut},
    {"test-print", "", "print the black-mark test receipt (235 bytes)", "", &buildTestPrint},
    {"set-net-ip", "ADDRESS", "set the Ethernet IP address (bare 1F 49)", "", &buildSetNetIp},
    {"set-net-mask", "ADDRESS", "set the Ethernet subnet mask (bare 1F 53)", "", &buildSetNetMask},
    {"set-net-gateway", "ADDRESS", "set the Ethernet gateway (bare 1F 4E)", "", &buildSetNetGateway},
    {"set-net-port", "PORT", "set the Ethernet TCP port, 2 to 65535 (bare 1F 50)", "", &buildSetNetPort},
    {"set-net-mac", "XX:XX:XX:XX", "set the last four MAC address bytes, in hexadecimal (bare 1F 4D)",
     "The first two bytes are fixed in the printer.", &buildSetNetMac},
};

}  // namespace

std::span<const OperationCommand> rawCommands()
{
    return kCommands;
}

}  // namespace pst::cli
