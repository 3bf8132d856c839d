// The printer's reading of raw printer-language commands between frames,
// and what they and the settings packets do to its state.

#include "host_stream.h"
#include "printer_fixture.h"
#include "raw_command_effects.h"
#include "state_json.h"

namespace pst::sim::test {
namespace {

struct Decoded {
    std::vector<std::uint16_t> frames;
    std::vector<RawKind> raw;
    std::uint64_t skipped = 0;
    std::uint64_t bad = 0;
};

Decoded decode(const Bytes& bytes, std::size_t chunk)
{
    HostStream stream;
    StreamResult result;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        const std::size_t n = std::min(chunk, bytes.size() - at);
        stream.feed(std::span(bytes).subspan(at, n), Clock::now(), result);
    }
    Decoded d;
    for (const auto& f : result.frames.frames)
        d.frames.push_back(f.frame.command);
    for (const auto& r : result.rawCommands)
        d.raw.push_back(r.kind);
    d.skipped = result.frames.skippedBytes;
    d.bad = result.frames.badFrames;
    return d;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

PrinterState afterRaw(const Bytes& bytes)
{
    PrinterState state;
    HostStream stream;
    StreamResult result;
    stream.feed(bytes, Clock::now(), result);
    for (const auto& command : result.rawCommands)
        applyRawCommand(state, command);
    return state;
}

TEST(HostStream, SeparatesFramesFromRawCommandsHoweverTheBytesArrive)
{
    const Bytes stream = join({packet(0x30, 0, 0, kIdentifyPayload),
                               {0x1F, 0x49, 0x0A, 0x00, 0x00, 0x02},  // an address ending in 02
                               packet(0x80, 0, 0, {0x1B}),            // ESC inside a payload
                               {0x1B, 0x7B, 0xF1, 0x0C, 0x1B, 0x69},
                               packet(0x31, 4)});
    for (std::size_t chunk : {stream.size(), std::size_t{1}, std::size_t{5}}) {
        const Decoded d = decode(stream, chunk);
        EXPECT_EQ(d.frames, (std::vector<std::uint16_t>{0x30, 0x80, 0x31})) << chunk;
        EXPECT_EQ(d.raw,
                  (std::vector<RawKind>{RawKind::EthernetField, RawKind::PrintOrder, RawKind::FormFeed,
                                        RawKind::Cut}))
            << chunk;
        EXPECT_EQ(d.skipped, 0u);
        EXPECT_EQ(d.bad, 0u);
    }
}

TEST(HostStream, TextSwitchesUnknownEscapesAndNoise)
{
    // GBK text may hold 0x8E, but never followed by 00 or 01.
    const Bytes bytes{0xC4, 0x8E, 0xC4, 0x0A, 0x8E, 0x01, 0x8D, 0x00, 0x1B, 0x4A, 0x00, 0x01};
    const Decoded d = decode(bytes, bytes.size());
    EXPECT_EQ(d.raw,
              (std::vector<RawKind>{RawKind::Text, RawKind::LineFeed, RawKind::BluetoothHiding,
                                    RawKind::Pair8D, RawKind::Unknown}));
    EXPECT_EQ(d.skipped, 2u);  // 00 and 01 on their own mean nothing

    // However the bytes arrive, the line printed and the switches are the same.
    PrinterState state;
    HostStream stream;
    for (std::uint8_t b : bytes) {
        StreamResult result;
        stream.feed(Bytes{b}, Clock::now(), result);
        for (const auto& command : result.rawCommands)
            applyRawCommand(state, command);
    }
    ASSERT_EQ(state.printed.size(), 1u);
    EXPECT_EQ(state.printed[0].text, "膸\\xC4");  // C4 8E is GBK; a lone lead byte stays visible
    EXPECT_TRUE(state.settings.bluetooth.hidden);
    EXPECT_EQ(state.settings.pair8D, 0);
}

TEST(RawCommandEffects, TheTestReceiptPrintsItsLinesQrCodeFeedAndCut)
{
    // The black-mark test receipt, as the tool sends it.
    const std::string hex = "1B401B61011B210057656C636F6D6520746F207072696E74657220426C61636B4D61726B2066756E"
                            "6374696F6E0d0a1B3900BB"
                            "B6D3ADCAB9D3C3BADAB1EAB9A6C4DC0D0A1B3903C577AAEFA8CFA5CEB6C2BCD0A55CAFE00D0A1d28"
                            "6b03003143041d286b0300"
                            "3145301d286b720031503057656c636f6d6520746f207072696e74657220426c61636b4d61726b20"
                            "66756e6374696f6e0ae6ac"
                            "a2e8bf8ee4bdbfe794a8e68993e58db0e69cbae79a84e9bb91e6a087e58a9fe883bd0ae6ada1e8bf"
                            "8ee4bdbfe794a8e58db0e8"
                            "a1a8e6a99fe79a84e9bb91e6a899e58a9fe883bd1d286b03003151300C1B69";
    Bytes receipt;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        receipt.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    const PrinterState state = afterRaw(receipt);
    ASSERT_EQ(state.printed.size(), 6u);
    EXPECT_EQ(state.printed[0].text, "Welcome to printer BlackMark function");
    EXPECT_EQ(state.printed[1].text, "欢迎使用黑标功能");
    EXPECT_EQ(state.printed[2].text, "歡迎使用黑標功能");
    EXPECT_EQ(state.printed[3].kind, PrintedItem::Kind::QrCode);
    EXPECT_EQ(state.printed[4].kind, PrintedItem::Kind::FormFeed);
    EXPECT_EQ(state.printed[5].kind, PrintedItem::Kind::Cut);

    const std::string json = stateToJson(state);
    EXPECT_NE(json.find(R"({"kind":"text","text":"\u6b22\u8fce\u4f7f\u7528\u9ed1\u6807\u529f\u80fd"})"),
              std::string::npos);
    EXPECT_NE(json.find(R"({"kind":"cut"})"), std::string::npos);
}

TEST(RawCommandEffects, SettingsCarriedByRawCommands)
{
    const PrinterState s = afterRaw({0x1F, 0x1B, 0x1F, 0x80, 0x04, 0x05, 0x06, 0x44,  // black mark on
                                     0x1F, 0x1B, 0x1F, 0x81, 0x04, 0x05, 0x06, 0x01, 0x90, 0x1F, 0x1B, 0x1F,
                                     0x82, 0x04, 0x05, 0x06, 0x00, 0x50, 0x1D, 0x28, 0x46, 0x04, 0x00, 0x01,
                                     0x00, 0xA4, 0x06, 0x1F, 0x50, 0x23, 0x8C, 0x1F, 0x4D, 0x01, 0x02, 0x03,
                                     0x04, 0x12, 0x55, 0x00, 0x1F, 0x41, 0x00, 0x1C, 0x70, 0x02, 0x00});
    EXPECT_TRUE(s.settings.blackMark.enabled);
    EXPECT_EQ(s.settings.blackMark.searchDistanceMm, 400);
    EXPECT_EQ(s.settings.blackMark.widthMm, 80);
    EXPECT_EQ(s.settings.blackMark.feedAfterMarkMm, 1700);
    EXPECT_EQ(s.settings.ethernet.port, 9100);
    EXPECT_EQ(s.settings.ethernet.macTail, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(s.settings.usbType, 0);
    EXPECT_EQ(s.settings.paperType, 0);
    ASSERT_EQ(s.printed.size(), 1u);
    EXPECT_EQ(s.printed[0].number, 2u);
    EXPECT_EQ(s.rawReceived.size(), 9u);

    const std::string json = stateToJson(s);
    EXPECT_NE(
        json.find(
            R"("blackMark":{"enabled":true,"searchDistanceMm":400,"widthMm":80,"feedAfterMarkMm":1700})"),
        std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("mac":"AB:CD:01:02:03:04","port":9100)"), std::string::npos) << json;
}

TEST_F(PrinterTest, ANewBaudRateTakesEffectOnceAcknowledged)
{
    startPrinter();
    port().send(packet(0x81, 0, 0, {3}));       // 57600
    ASSERT_EQ(port().readReply().size(), 16u);  // still at 9600
    ASSERT_TRUE(printer().waitFor([](const PrinterState& s) { return s.speed == 57600; }, 1000));
    port().setSpeed(57600);
    port().send(identifyPacket());
    EXPECT_EQ(port().readReply().size(), 25u);
}

TEST_F(PrinterTest, ASpeedInTheAllParametersWaitsForTheSwitchBack)
{
    startPrinter();
    port().send(packet(0x31, 4));  // the operation's temporary 115200
    ASSERT_EQ(port().readReply().size(), 16u);
    port().setSpeed(115200);
    Bytes all(12, 0);
    all[1] = 1;  // 19200
    port().send(packet(0x88, 0, 0, all));
    ASSERT_EQ(port().readReply().size(), 16u);
    EXPECT_EQ(printer().currentSpeed(), 115200u);
    port().send(packet(0x31, 0));  // back to 9600, the speed it started the conversation at
    ASSERT_EQ(port().readReply().size(), 16u);
    ASSERT_TRUE(printer().waitFor([](const PrinterState& s) { return s.speed == 19200; }, 1000));
    EXPECT_EQ(printer().currentSpeed(), 19200u);
}

TEST_F(PrinterTest, SettingsPacketsAppearInTheStateWithReadableNames)
{
    startPrinter();
    Bytes bluetooth(56, 0);
    bluetooth[0] = 3;
    const Bytes name{0xB4, 0xF2, 0xD3, 0xA1, 0xBB, 0xFA};  // 打印机 in GBK
    std::copy(name.begin(), name.end(), bluetooth.begin() + 1);
    std::copy(name.begin(), name.end(), bluetooth.begin() + 34);
    bluetooth[54] = 1;
    bluetooth[55] = 1;
    for (const Bytes& request : {packet(0x83, 0, 0, bluetooth), packet(0x80, 0, 0, {47}),
                                 packet(0x8A, 0, 0, {1, 's', 0}), packet(0x8B)}) {
        port().send(request);
        ASSERT_EQ(port().readReply().size(), 16u);
    }
    ASSERT_TRUE(printer().waitForFrames(4, 1000));
    const std::string json = printer().stateJson();
    EXPECT_NE(json.find(R"("codePage":47,"codePageName":"CP874")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("mode":"dual mode","name":"\u6253\u5370\u673a")"), std::string::npos) << json;
    EXPECT_NE(
        json.find(
            R"("wifi":{"enabled":false,"mode":"station","station":{"ssid":"s","password":"","addressing":"not given")"),
        std::string::npos)
        << json;
}

}  // namespace
}  // namespace pst::sim::test
