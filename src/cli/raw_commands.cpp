// The raw printer commands of pennafor-cli: unanswered printer-language
// bytes, after the full link setup (opened) or straight onto the port as it
// was last set (bare). None closes the link.

#include "cli/operation_commands.h"
#include "cli/printer_lists.h"
#include "texts/message_texts.h"
#include "protocol/dotted_address.h"
#include "protocol/input_error.h"
#include "requests/raw_requests.h"

namespace pst::cli {

namespace {

using namespace pst::requests;

// The black-mark edits take at most this many digits.
constexpr std::size_t kDistanceDigits = 4;
constexpr std::size_t kWidthDigits = 3;
constexpr std::size_t kFeedDigits = 4;

Request interfaceOption(Arguments& args, InterfaceOption option, const char* what, const ListNames& names)
{
    const int position = parseListChoice(args.positional(what), what, names);
    InterfaceOptionByte(option, position);  // refuses what the window's list could not hold
    return *InterfaceOptionRequest(option, position);
}

Request buildSetUsbType(Arguments& args)
{
    return interfaceOption(args, InterfaceOption::UsbDeviceType, "TYPE", usbTypeNames());
}

Request buildSetPaperType(Arguments& args)
{
    return interfaceOption(args, InterfaceOption::PaperType, "TYPE", paperTypeNames());
}

Request buildSetPrintOrder(Arguments& args)
{
    return interfaceOption(args, InterfaceOption::PrintOrder, "ORDER", printOrderNames());
}

Request buildBlackMark(Arguments& args)
{
    const bool on = parseOnOff(args.positional("on|off"), "on|off");
    return on ? BlackMarkModeRequest() : CancelBlackMarkRequest();
}

Request buildBlackMarkDistance(Arguments& args)
{
    return BlackMarkDistanceRequest(
        parseDigits(args.positional("MM"), "MM", kDistanceDigits));
}

Request buildBlackMarkWidth(Arguments& args)
{
    return BlackMarkWidthRequest(parseDigits(args.positional("MM"), "MM", kWidthDigits));
}

Request buildBlackMarkFeed(Arguments& args)
{
    return FeedAfterMarkRequest(parseDigits(args.positional("MM"), "MM", kFeedDigits));
}

Request buildFindBlackMark(Arguments& /*args*/)
{
    return FindBlackMarkRequest();
}

Request buildFindBlackMarkAndCut(Arguments& /*args*/)
{
    return FindBlackMarkAndCutRequest();
}

Request buildTestPrint(Arguments& /*args*/)
{
    return BlackMarkTestPrintRequest();
}

// The address edits are checked when they are left (IP address and mask),
// then the set buttons parse them part by part.
Request buildSetNetIp(Arguments& args)
{
    const std::string text = args.positional("ADDRESS");
    if (!IsAcceptedAddress(text))
        throw EInvalidInput(MessageText("SIPError"));
    return EthernetAddressRequest(EthernetField::IpAddress, text);
}

Request buildSetNetMask(Arguments& args)
{
    const std::string text = args.positional("ADDRESS");
    if (!IsAcceptedAddress(text))
        throw EInvalidInput(MessageText("SMaskError"));
    return EthernetAddressRequest(EthernetField::SubnetMask, text);
}

Request buildSetNetGateway(Arguments& args)
{
    return EthernetAddressRequest(EthernetField::Gateway, args.positional("ADDRESS"));
}

Request buildSetNetPort(Arguments& args)
{
    return EthernetPortRequest(args.positional("PORT"));
}

Request buildSetNetMac(Arguments& args)
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
        throw UsageError(MessageText("sMacBytesMsg"));
    return EthernetMacRequest({parts[0], parts[1], parts[2], parts[3]});
}

constexpr OperationCommand kCommands[] = {
    {"set-usb-type", "TYPE", "set the USB interface type", "TYPE is virtual-serial or printer.",
     "12 55 n, after the link setup", PrinterReply::Unanswered, "--serial /dev/ttyUSB0 set-usb-type printer",
     &buildSetUsbType},
    {"set-paper-type", "TYPE", "set the paper type", "TYPE is receipt or label.",
     "1F 41 n, after the link setup", PrinterReply::Unanswered, "--serial /dev/ttyUSB0 set-paper-type label",
     &buildSetPaperType},
    {"set-print-order", "ORDER", "set the print order", "ORDER is reverse or normal.",
     "1B 7B F1 (reverse) or 1B 7B F0 (normal), after the link setup", PrinterReply::Unanswered,
     "--serial /dev/ttyUSB0 set-print-order normal", &buildSetPrintOrder},
    {"black-mark", "on|off", "switch black-mark mode on or off",
     "on switches black-mark mode on, off cancels it.",
     "the black-mark mode bytes, or the bytes that cancel it, after the link setup", PrinterReply::Unanswered,
     "--serial /dev/ttyUSB0 black-mark on", &buildBlackMark},
    {"black-mark-distance", "MM", "set the black-mark search distance, 400 to 4000 mm",
     "MM is the distance in millimetres, from 400 to 4000.",
     "the search-distance bytes, after the link setup", PrinterReply::Unanswered,
     "--serial /dev/ttyUSB0 black-mark-distance 1000", &buildBlackMarkDistance},
    {"black-mark-width", "MM", "set the black-mark width, 40 to 120 mm",
     "MM is the width in millimetres, from 40 to 120.", "the mark-width bytes, after the link setup",
     PrinterReply::Unanswered, "--serial /dev/ttyUSB0 black-mark-width 80", &buildBlackMarkWidth},
    {"black-mark-feed", "MM", "set the feed after a found mark before cutting, 0 to 1700 mm",
     "MM is the feed in millimetres, from 0 to 1700.", "the feed-after-mark bytes, after the link setup",
     PrinterReply::Unanswered, "--serial /dev/ttyUSB0 black-mark-feed 120", &buildBlackMarkFeed},
    {"find-black-mark", "", "feed to the next black mark", "", "0C, after the link setup",
     PrinterReply::Unanswered, "--serial /dev/ttyUSB0 find-black-mark", &buildFindBlackMark},
    {"find-black-mark-cut", "", "feed to the next black mark and cut", "", "0C 1B 69, after the link setup",
     PrinterReply::Unanswered, "--serial /dev/ttyUSB0 find-black-mark-cut", &buildFindBlackMarkAndCut},
    {"test-print", "", "print the black-mark test receipt", "",
     "the 235 bytes of the test receipt, after the link setup", PrinterReply::Unanswered,
     "--serial /dev/ttyUSB0 test-print", &buildTestPrint},
    {"set-net-ip", "ADDRESS", "set the Ethernet IP address",
     "ADDRESS is a dotted IPv4 address, such as 192.168.1.90.",
     "1F 49 and the address, bare on the port as last set", PrinterReply::Unanswered,
     "--udp 192.168.1.87 set-net-ip 192.168.1.90", &buildSetNetIp},
    {"set-net-mask", "ADDRESS", "set the Ethernet subnet mask",
     "ADDRESS is a dotted subnet mask, such as 255.255.255.0.",
     "1F 53 and the mask, bare on the port as last set", PrinterReply::Unanswered,
     "--udp 192.168.1.87 set-net-mask 255.255.255.0", &buildSetNetMask},
    {"set-net-gateway", "ADDRESS", "set the Ethernet gateway",
     "ADDRESS is a dotted IPv4 address, such as 192.168.1.1.",
     "1F 4E and the gateway, bare on the port as last set", PrinterReply::Unanswered,
     "--udp 192.168.1.87 set-net-gateway 192.168.1.1", &buildSetNetGateway},
    {"set-net-port", "PORT", "set the Ethernet TCP port, 2 to 65535",
     "PORT is a whole number from 2 to 65535.", "1F 50 and the port, bare on the port as last set",
     PrinterReply::Unanswered, "--udp 192.168.1.87 set-net-port 9100", &buildSetNetPort},
    {"set-net-mac", "XX:XX:XX:XX", "set the last four MAC address bytes, in hexadecimal",
     "Each byte is 00 to FF. The first two bytes are fixed in the printer.",
     "1F 4D and the four bytes, bare on the port as last set", PrinterReply::Unanswered,
     "--udp 192.168.1.87 set-net-mac 65:66:67:68", &buildSetNetMac},
};

}  // namespace

std::span<const OperationCommand> rawCommands()
{
    return kCommands;
}

}  // namespace pst::cli
