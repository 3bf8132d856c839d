#include "settings_json.h"

#include "text_decoding.h"

#include <array>
#include <cstdio>
#include <string>

namespace pst::sim {
namespace {

std::string dotted(const std::array<std::uint8_t, 4>& a)
{
    return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
        std::to_string(a[3]);
}

std::string hexByte(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

std::string macAddress(const std::array<std::uint8_t, 4>& tail)
{
    // The first two bytes are fixed in the printer.
    std::string text = "AB:CD";
    for (std::uint8_t b : tail)
        text += ":" + hexByte(b).substr(2);
    return text;
}

std::string densityName(std::uint8_t flags)
{
    switch (flags & 0x81) {
    case 0x00:
        return "light";
    case 0x80:
        return "normal";
    case 0x01:
        return "slightly dark";
    default:
        return "dark";
    }
}

std::string fontName(std::uint8_t flags)
{
    switch (flags & 0x48) {
    case 0x00:
        return "9x17";
    case 0x40:
        return "12x24";
    case 0x08:
        return "9x24";
    default:
        return "16x18";
    }
}

std::string bluetoothModeName(std::uint8_t mode)
{
    switch (mode) {
    case 0:
        return "none fitted";
    case 1:
        return "single mode";
    case 3:
        return "dual mode";
    default:
        return "unknown " + std::to_string(mode);
    }
}

std::string passwordCheckName(std::uint8_t check)
{
    switch (check) {
    case 0:
        return "no password";
    case 1:
        return "password required";
    case 2:
        return "password required (masked)";
    default:
        return "unknown " + std::to_string(check);
    }
}

std::string choice(std::uint8_t value, const char* zero, const char* one)
{
    if (value == 0)
        return zero;
    if (value == 1)
        return one;
    return "unknown " + std::to_string(value);
}

std::string printOrderName(std::uint8_t order)
{
    if (order == 0xF1)
        return "reverse";
    if (order == 0xF0)
        return "normal";
    return "unknown " + hexByte(order);
}

// The printer's code pages by the byte that selects them.
std::string codePageName(std::uint8_t code)
{
    static constexpr std::array<const char*, 48> kSingleByte{
        "CP437",      "Katakana",   "CP850",       "CP860",      "CP863",      "CP865",      "CP1251",
        "CP866",      "CP1025",     "CP773",       "Iran",       "reserved",   "reserved",   "reserved",
        "reserved",   "CP862",      "CP1252",      "CP1253",     "CP852",      "CP858",      "Iran II",
        "CP1117",     "CP864",      "ISO-8859-1",  "CP737",      "CP1257",     "Thai",       "CP720",
        "CP855",      "CP857",      "CP1250",      "CP775",      "CP1254",     "CP1255",     "CP1256",
        "CP1258",     "ISO-8859-2", "ISO-8859-3",  "ISO-8859-4", "ISO-8859-5", "ISO-8859-6", "ISO-8859-7",
        "ISO-8859-8", "ISO-8859-9", "ISO-8859-15", "Thai2",      "CP856",      "CP874"};
    switch (code) {
    case 250:
        return "EUC-KR";
    case 252:
        return "SHIFT_JIS";
    case 253:
        return "UCS-2";
    case 254:
        return "BIG5";
    case 255:
        return "GBK";
    default:
        return code < kSingleByte.size() ? kSingleByte[code] : "unknown";
    }
}

void writeBluetooth(JsonWriter& json, const BluetoothSettings& bt)
{
    json.beginObject()
        .key("mode")
        .string(bluetoothModeName(bt.mode))
        .key("name")
        .text(decodePrinterText(bt.name))
        .key("password")
        .text(decodePrinterText(bt.password))
        .key("dualModeName")
        .text(decodePrinterText(bt.dualModeName))
        .key("passwordCheck")
        .string(passwordCheckName(bt.passwordCheck))
        .key("moduleType")
        .number(static_cast<long long>(bt.moduleType))
        .key("hidden")
        .boolean(bt.hidden)
        .key("workMode")
        .string(bt.workMode)
        .key("controlTexts")
        .beginArray();
    for (const std::string& text : bt.controlTexts)
        json.text(decodePrinterText(text));
    json.endArray().endObject();
}

void writeWifi(JsonWriter& json, const WifiSettings& wifi)
{
    const WifiStation& sta = wifi.station;
    json.beginObject()
        .key("enabled")
        .boolean(wifi.enabled)
        .key("mode")
        .string(wifi.mode)
        .key("station")
        .beginObject()
        .key("ssid")
        .text(decodePrinterText(sta.ssid))
        .key("password")
        .text(decodePrinterText(sta.password))
        .key("addressing")
        .string(sta.addressing)
        .key("ip")
        .string(dotted(sta.ip))
        .key("mask")
        .string(dotted(sta.mask))
        .key("gateway")
        .string(dotted(sta.gateway))
        .key("port")
        .number(static_cast<long long>(sta.port))
        .endObject()
        .key("accessPoint")
        .beginObject()
        .key("name")
        .text(decodePrinterText(wifi.accessPointName))
        .key("password")
        .text(decodePrinterText(wifi.accessPointPassword))
        .endObject()
        .endObject();
}

void writeEthernet(JsonWriter& json, const EthernetSettings& eth)
{
    json.beginObject()
        .key("ip")
        .string(dotted(eth.ip))
        .key("mask")
        .string(dotted(eth.mask))
        .key("gateway")
        .string(dotted(eth.gateway))
        .key("mac")
        .string(macAddress(eth.macTail))
        .key("port")
        .number(static_cast<long long>(eth.port))
        .endObject();
}

void writeBlackMark(JsonWriter& json, const BlackMarkSettings& mark)
{
    json.beginObject()
        .key("enabled")
        .boolean(mark.enabled)
        .key("searchDistanceMm")
        .number(static_cast<long long>(mark.searchDistanceMm))
        .key("widthMm")
        .number(static_cast<long long>(mark.widthMm))
        .key("feedAfterMarkMm")
        .number(static_cast<long long>(mark.feedAfterMarkMm))
        .endObject();
}

const char* printedKindName(PrintedItem::Kind kind)
{
    switch (kind) {
    case PrintedItem::Kind::Text:
        return "text";
    case PrintedItem::Kind::Logo:
        return "logo";
    case PrintedItem::Kind::QrCode:
        return "qr-code";
    case PrintedItem::Kind::FormFeed:
        return "form-feed";
    case PrintedItem::Kind::Cut:
        return "cut";
    }
    return "unknown";
}

}  // namespace

void writeSettingsJson(JsonWriter& json, const PrinterSettings& s)
{
    json.beginObject()
        .key("deviceSpeed")
        .number(static_cast<unsigned long long>(s.deviceSpeed))
        .key("codePage")
        .number(static_cast<long long>(s.codePage))
        .key("codePageName")
        .string(codePageName(s.codePage))
        .key("optionFlags")
        .string(hexByte(s.optionFlags))
        .key("density")
        .string(densityName(s.optionFlags))
        .key("font")
        .string(fontName(s.optionFlags))
        .key("cutter")
        .boolean((s.optionFlags & 0x20) != 0)
        .key("buzzer")
        .boolean((s.optionFlags & 0x04) != 0)
        .key("lineFeed")
        .string(s.lineFeed == 0       ? "0x0A"
                    : s.lineFeed == 1 ? "0x0D"
                                      : "unknown " + hexByte(s.lineFeed))
        .key("sleepSeconds")
        .number(static_cast<long long>(s.sleepSeconds))
        .key("powerOffSeconds")
        .number(static_cast<long long>(s.powerOffSeconds))
        .key("recyclingSeconds")
        .number(static_cast<long long>(s.recyclingSeconds))
        .key("flowControl")
        .string(choice(s.flowControl, "software", "hardware"))
        .key("pair8D")
        .string(s.pair8D ? hexByte(*s.pair8D) : "never received")
        .key("usbType")
        .string(choice(s.usbType, "virtual serial port", "printer port"))
        .key("paperType")
        .string(choice(s.paperType, "thermal receipt", "thermal label"))
        .key("printOrder")
        .string(printOrderName(s.printOrder))
        .key("productName")
        .text(decodePrinterText(s.productName))
        .key("productSerial")
        .text(decodePrinterText(s.productSerial))
        .key("setIpArguments")
        .beginArray();
    if (s.setIpArguments) {
        json.number(static_cast<unsigned long long>((*s.setIpArguments)[0]))
            .number(static_cast<unsigned long long>((*s.setIpArguments)[1]));
    }
    json.endArray().key("defaultsRestored").number(static_cast<unsigned long long>(s.defaultsRestored));
    json.key("bluetooth");
    writeBluetooth(json, s.bluetooth);
    json.key("wifi");
    writeWifi(json, s.wifi);
    json.key("infrared")
        .beginObject()
        .key("enabled")
        .boolean(s.infrared.enabled)
        .key("speed")
        .number(static_cast<unsigned long long>(s.infrared.speed))
        .key("protocol")
        .string(choice(s.infrared.protocol, "raw infrared", "IrDA"))
        .endObject();
    json.key("ethernet");
    writeEthernet(json, s.ethernet);
    json.key("blackMark");
    writeBlackMark(json, s.blackMark);
    json.endObject();
}

void writePrintedJson(JsonWriter& json, const std::deque<PrintedItem>& printed)
{
    json.beginArray();
    for (const PrintedItem& item : printed) {
        json.beginObject().key("kind").string(printedKindName(item.kind));
        if (item.kind == PrintedItem::Kind::Text || item.kind == PrintedItem::Kind::QrCode)
            json.key("text").text(item.text);
        if (item.kind == PrintedItem::Kind::Logo) {
            json.key("number").number(static_cast<unsigned long long>(item.number));
            if (!item.text.empty())
                json.key("text").text(item.text);
        }
        json.endObject();
    }
    json.endArray();
}

void writeRawReceivedJson(JsonWriter& json, const std::deque<RawCommandRecord>& raw)
{
    json.beginArray();
    for (const RawCommandRecord& record : raw)
        json.beginObject()
            .key("command")
            .string(record.name)
            .key("bytes")
            .string(hexBytes(record.bytes))
            .endObject();
    json.endArray();
}

}  // namespace pst::sim
