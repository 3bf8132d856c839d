#include "raw_command_decoder.h"

#include <array>
#include <initializer_list>

namespace pst::sim {
namespace {

// A command of fixed length: its leading bytes, then `arguments` more.
struct FixedCommand {
    std::array<std::uint8_t, 7> prefix;
    std::size_t prefixLength;
    std::size_t arguments;
    RawKind kind;
};

constexpr FixedCommand fixed(std::initializer_list<std::uint8_t> prefix, std::size_t arguments, RawKind kind)
{
    FixedCommand command{{}, prefix.size(), arguments, kind};
    std::size_t i = 0;
    for (std::uint8_t b : prefix)
        command.prefix[i++] = b;
    return command;
}

constexpr std::array kFixedCommands{
    fixed({0x0A}, 0, RawKind::LineFeed),
    fixed({0x0D}, 0, RawKind::CarriageReturn),
    fixed({0x0C}, 0, RawKind::FormFeed),
    fixed({0x1B, 0x40}, 0, RawKind::Initialize),
    fixed({0x1B, 0x61}, 1, RawKind::Align),
    fixed({0x1B, 0x21}, 1, RawKind::PrintMode),
    fixed({0x1B, 0x39}, 1, RawKind::CharacterSet),
    fixed({0x1B, 0x69}, 0, RawKind::Cut),
    fixed({0x1B, 0x7B}, 1, RawKind::PrintOrder),
    fixed({0x1F, 0x1B, 0x1F, 0x80, 0x04, 0x05, 0x06}, 1, RawKind::BlackMarkMode),
    fixed({0x1F, 0x1B, 0x1F, 0x81, 0x04, 0x05, 0x06}, 2, RawKind::BlackMarkDistance),
    fixed({0x1F, 0x1B, 0x1F, 0x82, 0x04, 0x05, 0x06}, 2, RawKind::BlackMarkWidth),
    fixed({0x1F, 0x49}, 4, RawKind::EthernetField),
    fixed({0x1F, 0x53}, 4, RawKind::EthernetField),
    fixed({0x1F, 0x4E}, 4, RawKind::EthernetField),
    fixed({0x1F, 0x4D}, 4, RawKind::EthernetField),
    fixed({0x1F, 0x50}, 2, RawKind::EthernetField),
    fixed({0x1F, 0x41}, 1, RawKind::PaperType),
    fixed({0x12, 0x55}, 1, RawKind::UsbType),
    fixed({0x1C, 0x70}, 2, RawKind::PrintLogo),
};

// GS ( x pL pH, then pL + 256 pH bytes.
struct SizedCommand {
    std::uint8_t function;
    RawKind kind;
};
constexpr std::array kSizedCommands{SizedCommand{0x46, RawKind::FeedAfterMark},
                                    SizedCommand{0x6B, RawKind::QrCode}};

// Bytes that start an escape sequence; one the printer does not know is
// taken with its function byte so that the function byte is not printed.
bool isEscapeLead(std::uint8_t b)
{
    return b == 0x1B || b == 0x1C || b == 0x1D || b == 0x1F || b == 0x12;
}

bool isPairLead(std::uint8_t b)
{
    return b == 0x8D || b == 0x8E;
}

RawMatch complete(std::size_t extent, RawKind kind)
{
    return {RawMatch::Verdict::Complete, extent, kind};
}

RawMatch needMore()
{
    return {RawMatch::Verdict::NeedMore, 0, RawKind::Unknown};
}

// A printable run ends before a control byte and before a two-byte switch
// (8D or 8E followed by 00 or 01), which never occurs inside text.
RawMatch matchText(std::span<const std::uint8_t> view)
{
    std::size_t i = 0;
    while (i < view.size() && view[i] >= 0x20) {
        if (isPairLead(view[i])) {
            if (i + 1 == view.size())
                break;  // decided once the next byte is in
            if (view[i + 1] <= 0x01)
                break;
        }
        ++i;
    }
    return i == 0 ? needMore() : complete(i, RawKind::Text);
}

}  // namespace

const char* rawKindName(RawKind kind)
{
    switch (kind) {
    case RawKind::Text:
        return "text";
    case RawKind::LineFeed:
        return "line-feed";
    case RawKind::CarriageReturn:
        return "carriage-return";
    case RawKind::FormFeed:
        return "form-feed";
    case RawKind::Initialize:
        return "initialize";
    case RawKind::Align:
        return "align";
    case RawKind::PrintMode:
        return "print-mode";
    case RawKind::CharacterSet:
        return "character-set";
    case RawKind::Cut:
        return "cut";
    case RawKind::PrintOrder:
        return "print-order";
    case RawKind::BlackMarkMode:
        return "black-mark-mode";
    case RawKind::BlackMarkDistance:
        return "black-mark-distance";
    case RawKind::BlackMarkWidth:
        return "black-mark-width";
    case RawKind::FeedAfterMark:
        return "feed-after-mark";
    case RawKind::EthernetField:
        return "ethernet-field";
    case RawKind::PaperType:
        return "paper-type";
    case RawKind::UsbType:
        return "usb-type";
    case RawKind::PrintLogo:
        return "print-logo";
    case RawKind::QrCode:
        return "qr-code";
    case RawKind::BluetoothHiding:
        return "bluetooth-hiding";
    case RawKind::Pair8D:
        return "pair-8d";
    case RawKind::Unknown:
        return "unknown";
    }
    return "unknown";
}

RawMatch matchRawCommand(std::span<const std::uint8_t> view)
{
    if (view.empty())
        return needMore();

    bool couldStillMatch = false;
    for (const FixedCommand& command : kFixedCommands) {
        const std::size_t compared = std::min(view.size(), command.prefixLength);
        bool same = true;
        for (std::size_t i = 0; i < compared && same; ++i)
            same = view[i] == command.prefix[i];
        if (!same)
            continue;
        const std::size_t extent = command.prefixLength + command.arguments;
        if (view.size() < extent) {
            couldStillMatch = true;
            continue;
        }
        return complete(extent, command.kind);
    }

    if (view[0] == 0x1D) {
        if (view.size() < 3)
            return needMore();
        if (view[1] == 0x28) {
            for (const SizedCommand& command : kSizedCommands) {
                if (view[2] != command.function)
                    continue;
                if (view.size() < 5)
                    return needMore();
                const std::size_t extent = 5 + view[3] + 256u * view[4];
                if (view.size() < extent)
                    return needMore();
                return complete(extent, command.kind);
            }
        }
    }
    if (couldStillMatch)
        return needMore();

    if (isPairLead(view[0])) {
        if (view.size() < 2)
            return needMore();
        if (view[1] <= 0x01)
            return complete(2, view[0] == 0x8D ? RawKind::Pair8D : RawKind::BluetoothHiding);
    }
    if (isEscapeLead(view[0]))
        return view.size() < 2 ? needMore() : complete(2, RawKind::Unknown);
    if (view[0] >= 0x20)
        return matchText(view);
    return {RawMatch::Verdict::NotRaw, 1, RawKind::Unknown};
}

}  // namespace pst::sim
