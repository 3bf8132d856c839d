// The text shown for refused input.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "protocol/picture_file.h"
#include "protocol/raw_payloads.h"
#include "protocol/settings_payloads.h"
#include "texts/engine_texts.h"
#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"
#include "texts/translation.h"

using namespace pst;

TEST(InputRefusalText, AKeyedRefusalShowsTheKeysTextInTheChosenLanguage)
{
    ResetMessageTexts();
    EXPECT_EQ(InputRefusalText(EInvalidInput::withMessageKey("SIPError")), MessageText("SIPError"));
    ASSERT_TRUE(SetMessageText("SIPError", "Wrong IP address"));
    EXPECT_EQ(InputRefusalText(EInvalidInput::withMessageKey("SIPError", ": 10.0.0")),
              "Wrong IP address: 10.0.0");
    ResetMessageTexts();
}

TEST(InputRefusalText, APlainRefusalShowsItsOwnText)
{
    EXPECT_EQ(InputRefusalText(EInvalidInput("No logo chosen to print")), "No logo chosen to print");
}

// The payload checks and the picture reader refuse in the chosen language;
// the English file words each refusal as the log does.
TEST(InputRefusalText, PayloadAndPictureRefusalsFollowTheLanguage)
{
    const std::vector<std::function<void()>> refusing{
        [] { BluetoothControlTextBlock(std::string(2000, 'A')); },
        [] { BluetoothControlTextBlock(""); },
        [] { BluetoothBlock({}); },
        [] { WifiStationBlock({.portText = "70000"}); },
        [] { EthernetPortBlock("1"); },
        [] { ParseLogoPrintList("0"); },
        [] { ProductBlock(std::string(30, 'N'), "1"); },
        [] { ProductBlock("\xF0\x9F\x98\x80", "1"); },
    };
    const auto refusalOf = [](const std::function<void()>& refuse) -> EInvalidInput {
        try {
            refuse();
        } catch (const EInvalidInput& refusal) {
            return refusal;
        }
        return EInvalidInput("accepted");
    };
    const auto hasChinese = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) >= 0xE3; });
    };
    ResetMessageTexts();
    for (const auto& refuse : refusing) {
        const EInvalidInput refusal = refusalOf(refuse);
        EXPECT_TRUE(hasChinese(InputRefusalText(refusal))) << refusal.what();
    }
    const std::vector<std::uint8_t> notAPicture{'n', 'o'};
    const EInvalidInput unknown = refusalOf([&] { DecodePicture(notAPicture, "notes.bmp"); });
    EXPECT_EQ(InputRefusalText(unknown), "notes.bmp：不是本工具能读取的图片（不认识的图片格式）");
    EXPECT_EQ(InputRefusalText(refusalOf([] { ReadPictureFile("/no/such.png"); })),
              "/no/such.png：文件无法打开");

    texts::translateMessageTexts(IniDocument::load(std::string(PST_LANG_DIR) + "/English.lng"), 1);
    for (const auto& refuse : refusing) {
        const EInvalidInput refusal = refusalOf(refuse);
        EXPECT_EQ(InputRefusalText(refusal), refusal.what());
    }
    EXPECT_EQ(InputRefusalText(unknown),
              "notes.bmp: not a picture this tool can read (unknown picture format)");
    ResetMessageTexts();
}

TEST(InputRefusalText, ANumberThatIsNoneNamesItselfInTheChosenLanguage)
{
    ResetMessageTexts();
    try {
        strToInt("G1");
        FAIL() << "G1 was taken for a number";
    } catch (const EConvertError& refusal) {
        EXPECT_STREQ(refusal.what(), "'G1' is not a valid integer value");
        EXPECT_EQ(InputRefusalText(refusal), "'G1' 不是有效的整数值");
        ASSERT_TRUE(SetMessageText("sNotIntegerMsg", "'%s' is no number"));
        EXPECT_EQ(InputRefusalText(refusal), "'G1' is no number");
        // A translation without the place for the text keeps the original.
        ASSERT_TRUE(SetMessageText("sNotIntegerMsg", "not a number"));
        EXPECT_EQ(InputRefusalText(refusal), "'G1' is not a valid integer value");
    }
    ResetMessageTexts();
    // Named after its field.
    EXPECT_EQ(RefusalInField("休眠时间", InputRefusalText(EConvertError::forText("x9"))),
              "休眠时间：'x9' 不是有效的整数值");
    EXPECT_EQ(RefusalInField("", "plain"), "plain");
    ASSERT_TRUE(SetMessageText("sInFieldMsg", "%s only"));
    EXPECT_EQ(RefusalInField("Port", "plain"), "plain");
    ResetMessageTexts();
    // An error worded by its thrower is shown as worded.
    EXPECT_EQ(InputRefusalText(EConvertError("Baud rate box is empty")), "Baud rate box is empty");
    ResetMessageTexts();
}

TEST(EngineTextInLanguage, FixedTextsAndHintsAreTranslatedAndTheSystemsWordsKept)
{
    ResetMessageTexts();
    EXPECT_EQ(EngineTextInLanguage("Connecting Failed (Error opening serial port (/dev/ttyS3: Permission denied "
                                   "(the user needs to be in the dialout group)))"),
              "连接失败 (打开串口出错 (/dev/ttyS3: Permission denied (用户需要加入 dialout 组)))");
    EXPECT_EQ(EngineTextInLanguage("Error open USB DEVICE  (/dev/usb/lp0: in use by another program)"),
              "打开USB设备出错  (/dev/usb/lp0: 正被其他程序使用)");
    // Texts the table does not know, and a path that merely contains a word
    // of one, pass unchanged.
    EXPECT_EQ(EngineTextInLanguage("No space left on /tmp/Received/out.bin"), "No space left on /tmp/Received/out.bin");

    // English files give back the engine's own words byte for byte; a
    // translation that repeats its English is not replaced again.
    texts::translateMessageTexts(IniDocument::load(std::string(PST_LANG_DIR) + "/English.lng"), 1);
    const std::string english = "Set Baudrate Failed (Received Failed: no reply)";
    EXPECT_EQ(EngineTextInLanguage(english), english);
    ASSERT_TRUE(SetMessageText("sUndefinedErrorMsg", "Undefined Error (unknown)"));
    EXPECT_EQ(EngineTextInLanguage("Undefined Error"), "Undefined Error (unknown)");
    ResetMessageTexts();
}
