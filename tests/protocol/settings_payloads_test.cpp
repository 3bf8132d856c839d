// The hand-over blocks of the settings commands, byte for byte.

#include <gtest/gtest.h>

#include "protocol/test_support.h"

#include "texts/message_texts.h"
#include "platform/int_conversion.h"
#include "protocol/input_error.h"
#include "protocol/settings_payloads.h"
#include "protocol/value_mappings.h"

using namespace pst;
using Bytes = std::vector<std::uint8_t>;

namespace {

int codePagePosition(std::string_view text)
{
    for (std::size_t i = 0; i < kCodePageItems.size(); ++i)
        if (kCodePageItems[i] == text)
            return static_cast<int>(i);
    return -2;
}

}  // namespace

TEST(ValueMappings, CodePageBytes)
{
    EXPECT_EQ(CodePageByte(codePagePosition("CP936:GBK")), 255);
    EXPECT_EQ(CodePageByte(codePagePosition("EUC-KR")), 250);
    EXPECT_EQ(CodePageByte(codePagePosition("CP874:Thai")), 47);
    EXPECT_EQ(CodePageByte(codePagePosition("CP932 SHIFT_JIS")), 252);
    EXPECT_EQ(CodePageByte(codePagePosition("CP437:USA/Standard Europe")), 0);
    // The four "Reversed" items each keep their own code.
    for (int position = 15; position <= 18; ++position) {
        EXPECT_EQ(kCodePageItems[position], "Reversed");
        EXPECT_EQ(CodePageByte(position), position - 4);
    }
    EXPECT_EQ(CodePageByte(kNoSelection), 255);
    EXPECT_THROW(CodePageByte(53), EInvalidInput);
}

TEST(ValueMappings, BaudRateCodesAndTheirSpeeds)
{
    EXPECT_EQ(BaudRateSpeedCode(7), 4);  // 115200
    EXPECT_EQ(BaudRateSpeedCode(8), 8);  // 230400
    EXPECT_EQ(BaudRateSpeedCode(0), 5);  // 1200
    EXPECT_EQ(BaudRateSpeedCode(3), 0);  // 9600
    EXPECT_EQ(BaudRateSpeedCode(kNoSelection), 0);
    for (int position = 0; position < 9; ++position)
        EXPECT_EQ(std::to_string(*SpeedForCode(BaudRateSpeedCode(position))), kBaudRateItems[position]);
    EXPECT_FALSE(SpeedForCode(9));
}

TEST(ValueMappings, OptionFlagsBluetoothModeAndPasswordCheck)
{
    EXPECT_EQ(OptionFlagsByte(1, 3, true, true), 0xEC);  // normal, 16x18, cutter, buzzer
    EXPECT_EQ(OptionFlagsByte(3, 3, true, true), 0xED);  // dark
    EXPECT_EQ(OptionFlagsByte(0, 0, false, false), 0x00);
    EXPECT_EQ(OptionFlagsByte(2, 2, false, false), 0x09);
    EXPECT_EQ(OptionFlagsByte(kNoSelection, 1, false, false), 0xFF);
    EXPECT_EQ(PaperFeedByte(1), 1);
    EXPECT_EQ(PaperFeedByte(kNoSelection), 0xFF);
    EXPECT_EQ(BluetoothModeByte(2), 3);  // dual mode is 3, not 2
    EXPECT_EQ(BluetoothModeByte(0), 0);
    EXPECT_EQ(PasswordCheckByte(0), 1);
    EXPECT_EQ(PasswordCheckByte(1), 2);
    EXPECT_EQ(PasswordCheckByte(2), 0);
    EXPECT_THROW(OptionFlagsByte(4, 0, false, false), EInvalidInput);
}

TEST(SettingsPayloads, SwitchOptionsAndAllParameters)
{
    EXPECT_EQ(SwitchOptionsBlock(1, 3, true, true, 0), (Bytes{0xEC, 0x00}));

    AllParameters p;
    p.codePagePosition = 3;  // GBK
    p.baudRatePosition = 7;  // 115200
    p.densityPosition = 3;
    p.fontPosition = 3;
    p.cutter = p.buzzer = true;
    p.paperFeedPosition = 1;
    p.sleepSeconds = 60;
    p.powerOffSeconds = 7200;
    EXPECT_EQ(AllParametersBlock(p), (Bytes{255, 4, 0xED, 1, 0x3C, 0, 0, 0, 0x20, 0x1C, 0, 0}));
    // Nothing selected: the fallback codes.
    const Bytes fallback = AllParametersBlock({});
    EXPECT_EQ(fallback[0], 255);
    EXPECT_EQ(fallback[1], 0);
    EXPECT_EQ(fallback[2], 0xFF);
    EXPECT_EQ(fallback[3], 0xFF);
}

TEST(SettingsPayloads, WifiStationBlockStaticAndDynamic)
{
    WifiStationParameters p;
    p.ssid = "ab";
    p.password = "1234";
    p.ipAddress = "192.168.1.87";
    p.mask = "255.255.255.0";
    p.gateway = "192.168.1.1";
    p.portText = "9100";
    const Bytes staticBlock = WifiStationBlock(p);
    EXPECT_EQ(staticBlock, (Bytes{0x02, 'a',  'b',  0x04, '1',  '2',  '3',  '4',  0xC0, 0xA8, 0x01, 0x57,
                                  0xFF, 0xFF, 0xFF, 0x00, 0xC0, 0xA8, 0x01, 0x01, 0x8C, 0x23, 0x01}));

    p.addressing = WifiAddressing::Dynamic;
    p.ipAddress = "not even an address";  // not read with dynamic addressing
    const Bytes dynamicBlock = WifiStationBlock(p);
    ASSERT_EQ(dynamicBlock.size(), 23u);
    EXPECT_EQ(Bytes(dynamicBlock.begin() + 8, dynamicBlock.begin() + 20), Bytes(12, 0));
    EXPECT_EQ(Bytes(dynamicBlock.end() - 3, dynamicBlock.end()), (Bytes{0x8C, 0x23, 0x00}));

    p.addressing = WifiAddressing::NotChosen;
    EXPECT_EQ(WifiStationBlock(p).size(), 8u);  // the two counted texts only
}

TEST(SettingsPayloads, WifiStationInputIsCheckedBeforeAnythingIsBuilt)
{
    WifiStationParameters p;
    p.ssid = "ab";
    p.portText = "";
    EXPECT_THROW(WifiStationBlock(p), EConvertError);  // even an empty port stops it
    p.portText = "9100";
    p.ipAddress = "192.168.1.300";
    EXPECT_REFUSAL_TEXT_IS(WifiStationBlock(p), MessageText("SIPError"));
    p.ipAddress = "192.168.1";  // the edit's check lets it through; the printer would get 0.0.0.0
    EXPECT_REFUSAL_TEXT_IS(WifiStationBlock(p), MessageText("SIPError"));
    p.ipAddress = "192.168.1.87";
    p.mask = "255.255.255.255";
    EXPECT_REFUSAL_TEXT_IS(WifiStationBlock(p), MessageText("SMaskError"));
    p.mask = "255.255.255.0";
    p.gateway = "gateway";
    EXPECT_REFUSAL_TEXT_IS(WifiStationBlock(p), MessageText("sGatewayError"));
    p.gateway = "192.168.1.1";
    p.ssid = std::string(33, 's');
    EXPECT_THROW(WifiStationBlock(p), EInvalidInput);
}

TEST(SettingsPayloads, AccessPointAndInfrared)
{
    EXPECT_EQ(WifiAccessPointBlock("net", "pw"), (Bytes{3, 'n', 'e', 't', 2, 'p', 'w'}));
    EXPECT_EQ(WifiAccessPointBlock("", ""), (Bytes{0, 0}));
    EXPECT_EQ(InfraredBlock(4, false, 1), (Bytes{4, 0, 1}));
    EXPECT_THROW(InfraredBlock(kNoSelection, true, 0), EInvalidInput);
}

TEST(SettingsPayloads, BluetoothBlockLayoutAndNameFallback)
{
    BluetoothParameters p;
    p.modePosition = 2;
    p.dualModeName = "Dual";
    p.password = "1234567890123";  // 13 bytes: no room for a terminator
    p.passwordCheckPosition = 2;
    p.moduleTypeText = "7";
    const Bytes block = BluetoothBlock(p);
    ASSERT_EQ(block.size(), 56u);
    EXPECT_EQ(block[0], 3);
    // An empty name takes the dual-mode name, in both fields.
    EXPECT_EQ(std::string(block.begin() + 1, block.begin() + 5), "Dual");
    EXPECT_EQ(block[5], 0);
    EXPECT_EQ(std::string(block.begin() + 21, block.begin() + 34), "1234567890123");
    EXPECT_EQ(std::string(block.begin() + 34, block.begin() + 38), "Dual");
    EXPECT_EQ(block[54], 0);
    EXPECT_EQ(block[55], 7);

    p.dualModeName.clear();
    EXPECT_THROW(BluetoothBlock(p), EInvalidInput);  // both empty: nothing to send
}

TEST(SettingsPayloads, TextFieldsGoOutInGbkAndOverlongOrUnsendableTextIsRefused)
{
    BluetoothParameters p;
    p.name = "打印机";
    const Bytes block = BluetoothBlock(p);
    EXPECT_EQ(Bytes(block.begin() + 1, block.begin() + 8), (Bytes{0xB4, 0xF2, 0xD3, 0xA1, 0xBB, 0xFA, 0x00}));

    p.name = "一二三四五六七八九十";  // 10 characters, 20 bytes: fits exactly
    EXPECT_NO_THROW(BluetoothBlock(p));
    p.name = "一二三四五六七八九十a";
    EXPECT_THROW(BluetoothBlock(p), EInvalidInput);
    p.name = "printer \xF0\x9F\x96\xA8";  // a character GBK has not
    EXPECT_THROW(BluetoothBlock(p), EInvalidInput);
    p.name = "bad \xC3";  // not UTF-8
    EXPECT_THROW(BluetoothBlock(p), EInvalidInput);
}

TEST(SettingsPayloads, ProductBlock)
{
    const Bytes block = ProductBlock("ABC", "1704269998");
    ASSERT_EQ(block.size(), 40u);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 3), "ABC");
    EXPECT_EQ(Bytes(block.begin() + 3, block.begin() + 20), Bytes(17, 0));
    EXPECT_EQ(std::string(block.begin() + 20, block.begin() + 30), "1704269998");
    EXPECT_EQ(Bytes(block.begin() + 30, block.end()), Bytes(10, 0));

    // A 20-character name runs straight into the serial number.
    const Bytes full = ProductBlock(std::string(20, 'N'), "");
    EXPECT_EQ(full[19], 'N');
    EXPECT_EQ(full[20], 0);
    EXPECT_REFUSAL_TEXT_IS(ProductBlock("", "1"), MessageText("sMsg1"));
    EXPECT_THROW(ProductBlock(std::string(21, 'N'), ""), EInvalidInput);
}

TEST(SettingsPayloads, BluetoothControlTexts)
{
    EXPECT_EQ(BluetoothWorkModeBlock(0), (Bytes{'A', 'T', '+', 'H', 'S', 'M', '=', '2'}));
    EXPECT_EQ(BluetoothWorkModeBlock(1), (Bytes{'A', 'T', '+', 'H', 'S', 'M', '=', '0'}));
    EXPECT_EQ(BluetoothControlTextBlock("AT+NAME").size(), 7u);
    EXPECT_EQ(BluetoothControlTextBlock(std::string(1016, 'x')).size(), 1016u);
    EXPECT_THROW(BluetoothControlTextBlock(std::string(1017, 'x')), EInvalidInput);
    EXPECT_THROW(BluetoothControlTextBlock(""), EInvalidInput);
}
