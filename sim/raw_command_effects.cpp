#include "raw_command_effects.h"

#include "logo_output.h"
#include "text_decoding.h"

#include <utility>

namespace pst::sim {
namespace {

constexpr std::uint8_t kBlackMarkOn = 0x44;
constexpr std::uint8_t kBlackMarkOff = 0x66;
constexpr std::uint8_t kQrCodeStore = 0x50;
constexpr std::uint8_t kQrCodePrint = 0x51;
constexpr std::size_t kQrCodeHeader = 8;  // GS ( k pL pH cn fn m

const char* charsetName(const PrintHead& head)
{
    // ESC 9 selects the Chinese character set: 3 the traditional one.
    return head.charset && *head.charset == 3 ? "BIG5" : "GBK";
}

void printLine(PrinterState& state)
{
    PrintHead& head = state.printHead;
    state.recordPrinted({PrintedItem::Kind::Text, decodePrinterText(head.pendingLine, charsetName(head)), 0});
    head.pendingLine.clear();
}

// Anything collected but not yet ended by a line feed is printed before a
// graphic, a feed or a cut.
void flushLine(PrinterState& state)
{
    if (!state.printHead.pendingLine.empty())
        printLine(state);
}

std::array<std::uint8_t, 4> fourBytes(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return {bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]};
}

void applyEthernetField(EthernetSettings& ethernet, const std::vector<std::uint8_t>& bytes)
{
    switch (bytes[1]) {
    case 0x49:
        ethernet.ip = fourBytes(bytes, 2);
        break;
    case 0x53:
        ethernet.mask = fourBytes(bytes, 2);
        break;
    case 0x4E:
        ethernet.gateway = fourBytes(bytes, 2);
        break;
    case 0x4D:
        ethernet.macTail = fourBytes(bytes, 2);
        break;
    case 0x50:
        ethernet.port = static_cast<std::uint16_t>(bytes[2] << 8 | bytes[3]);
        break;
    default:
        break;
    }
}

void applyQrCode(PrinterState& state, const std::vector<std::uint8_t>& bytes)
{
    // Model 2 (cn 0x31): store the data, later print what was stored.
    if (bytes.size() < 7 || bytes[5] != 0x31)
        return;
    if (bytes[6] == kQrCodeStore && bytes.size() >= kQrCodeHeader) {
        state.printHead.qrData.assign(bytes.begin() + kQrCodeHeader, bytes.end());
    } else if (bytes[6] == kQrCodePrint) {
        flushLine(state);
        state.recordPrinted(
            {PrintedItem::Kind::QrCode, decodePrinterText(state.printHead.qrData, "UTF-8"), 0});
    }
}

bool isSetting(RawKind kind)
{
    return kind != RawKind::Text && kind != RawKind::LineFeed && kind != RawKind::CarriageReturn;
}

}  // namespace

void applyRawCommand(PrinterState& state, const RawCommand& command)
{
    const auto& b = command.bytes;
    PrinterSettings& settings = state.settings;
    if (isSetting(command.kind))
        state.recordRaw({rawKindName(command.kind), b});

    switch (command.kind) {
    case RawKind::Text:
        state.printHead.pendingLine.append(b.begin(), b.end());
        break;
    case RawKind::LineFeed:
        printLine(state);
        break;
    case RawKind::CarriageReturn:
    case RawKind::Align:
    case RawKind::PrintMode:
    case RawKind::Unknown:
        break;
    case RawKind::FormFeed:
        flushLine(state);
        state.recordPrinted({PrintedItem::Kind::FormFeed, {}, 0});
        break;
    case RawKind::Initialize:
        state.printHead = PrintHead{};
        break;
    case RawKind::CharacterSet:
        state.printHead.charset = b[2];
        break;
    case RawKind::Cut:
        flushLine(state);
        state.recordPrinted({PrintedItem::Kind::Cut, {}, 0});
        break;
    case RawKind::PrintOrder:
        settings.printOrder = b[2];
        break;
    case RawKind::BlackMarkMode:
        if (b[7] == kBlackMarkOn)
            settings.blackMark.enabled = true;
        else if (b[7] == kBlackMarkOff)
            settings.blackMark.enabled = false;
        break;
    case RawKind::BlackMarkDistance:
        settings.blackMark.searchDistanceMm = static_cast<std::uint16_t>(b[7] << 8 | b[8]);
        break;
    case RawKind::BlackMarkWidth:
        settings.blackMark.widthMm = static_cast<std::uint16_t>(b[7] << 8 | b[8]);
        break;
    case RawKind::FeedAfterMark:
        // GS ( F with a = 1 (cut position) and m = 0.
        if (b.size() == 9 && b[5] == 0x01)
            settings.blackMark.feedAfterMarkMm = static_cast<std::uint16_t>(b[7] | b[8] << 8);
        break;
    case RawKind::EthernetField:
        applyEthernetField(settings.ethernet, b);
        break;
    case RawKind::PaperType:
        settings.paperType = b[2];
        break;
    case RawKind::UsbType:
        settings.usbType = b[2];
        break;
    case RawKind::PrintLogo:
        flushLine(state);
        // A stored logo prints what the bank holds for it.
        state.recordPrinted({PrintedItem::Kind::Logo, printedLogoText(state.flash, b[2]), b[2]});
        break;
    case RawKind::QrCode:
        applyQrCode(state, b);
        break;
    case RawKind::BluetoothHiding:
        settings.bluetooth.hidden = b[1] == 0x01;
        break;
    case RawKind::Pair8D:
        settings.pair8D = b[1];
        break;
    }
}

}  // namespace pst::sim
