// The "ParaDefault" record: defaults, key order, and what stored texts
// select in the controls.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "texts/message_texts.h"
#include "requests/para_record.h"
#include "requests/profile.h"
#include "texts/translation.h"

using namespace pst;
using namespace pst::requests;

namespace {

class ParaRecordTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMessageTexts(); }
    void TearDown() override { ResetMessageTexts(); }

    std::string valueOf(const ParaValues& values, std::string_view key)
    {
        const auto keys = ParaKeyTable();
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i].key == key)
                return values.at(i);
        ADD_FAILURE() << "no key " << key;
        return {};
    }
};

TEST_F(ParaRecordTest, MissingFileGivesEveryDefaultInTheCurrentLanguage)
{
    const ParaValues values = ReadParaRecord(IniDocument{});
    ASSERT_EQ(values.size(), 56u);
    EXPECT_EQ(valueOf(values, "BaudRate"), "9600");
    EXPECT_EQ(valueOf(values, "CodePage"), "CP437:USA/Standard Europe");
    EXPECT_EQ(valueOf(values, "Dark"), "正常");
    EXPECT_EQ(valueOf(values, "UsbDeviceTpe"), "USB打印口");
    EXPECT_EQ(valueOf(values, "PaperType"), "热敏标签纸");
    EXPECT_EQ(valueOf(values, "PrinterOrder"), "正序");
    EXPECT_EQ(valueOf(values, "Flowcontrol"), "硬件流控");
    EXPECT_EQ(valueOf(values, "BluetoothSEEK"), "取消蓝牙隐身");
    EXPECT_EQ(valueOf(values, "irdaProtecl"), "原始红外");
    EXPECT_EQ(valueOf(values, "BlueToolthWorkMode"), "正常模式");
    EXPECT_EQ(valueOf(values, "sleepTime"), "600");
    EXPECT_EQ(valueOf(values, "poweroffTime"), "7200");
    EXPECT_EQ(valueOf(values, "DeviceSerialNo"), "");
    EXPECT_EQ(valueOf(values, "IpType"), "1");
    EXPECT_EQ(valueOf(values, "NetWorkPort"), "1345678");
    EXPECT_EQ(valueOf(values, "Cutteroptocoupler"), "5");
    EXPECT_EQ(valueOf(values, "LogoDither"), "阈值（线条图）");
    EXPECT_EQ(valueOf(values, "LogoThreshold"), "128");
    EXPECT_EQ(valueOf(values, "LogoWidth"), "原尺寸");
    EXPECT_EQ(valueOf(values, "DownloadVerify"), "0");

    SetItemText("Dark description", 1, "Normal");
    EXPECT_EQ(valueOf(ReadParaRecord(IniDocument{}), "Dark"), "Normal");
}

TEST_F(ParaRecordTest, SaveWritesEveryKeyInTableOrderAndKeepsTheMainSection)
{
    const auto folder =
        std::filesystem::temp_directory_path() / ("pst-para-record-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "sysconfig.ini").string();
    std::ofstream(path, std::ios::binary) << "[MainDefault]\r\nLanguage=1\r\n";

    ParaValues values = ReadParaRecord(IniDocument{});
    values[0] = "115200";
    ASSERT_EQ(SaveParaRecord(path, values), "");

    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    const std::string content = text.str();
    EXPECT_NE(content.find("[MainDefault]\r\nLanguage=1\r\n"), std::string::npos);
    std::size_t at = content.find("[ParaDefault]");
    ASSERT_NE(at, std::string::npos);
    for (const ParaKey& key : ParaKeyTable()) {
        const std::size_t next = content.find("\n" + std::string(key.key) + "=", at);
        ASSERT_NE(next, std::string::npos) << key.key;
        at = next;
    }
    EXPECT_NE(content.find("\nBaudRate=115200\r\n"), std::string::npos);
    EXPECT_EQ(ReadParaRecord(IniDocument::load(path)), values);
    std::filesystem::remove_all(folder);
}

// The parameter window open while a command line apply takes serial
// numbers from the same file: the window's close keeps the apply's number.
TEST_F(ParaRecordTest, TheWindowsSaveWritesOnlyWhatChangedIntoTheFileAsItIsNow)
{
    const auto folder =
        std::filesystem::temp_directory_path() / ("pst-para-merge-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "sysconfig.ini").string();
    std::ofstream(path, std::ios::binary) << "[ParaDefault]\r\nDeviceSerialNo=100\r\nsleepTime=600\r\n";

    const ParaValues loaded = ReadParaRecord(IniDocument::load(path));
    const SerialReservation taken = ReserveSerialNumbers(path, Profile::read(IniDocument::load(path)), 3);
    ASSERT_EQ(taken.error, "");
    EXPECT_EQ(taken.profile.get("DeviceSerialNo"), "100");
    const SerialReservation next = ReserveSerialNumbers(path, Profile::read(IniDocument::load(path)), 3);
    EXPECT_EQ(next.profile.get("DeviceSerialNo"), "103");

    ParaValues closing = loaded;
    const auto keys = ParaKeyTable();
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i].key == "sleepTime")
            closing[i] = "300";
    ASSERT_EQ(SaveChangedParaRecord(path, loaded, closing), "");

    const IniDocument saved = IniDocument::load(path);
    EXPECT_EQ(saved.readString(kParaSection, "DeviceSerialNo", ""), "106");
    EXPECT_EQ(saved.readString(kParaSection, "sleepTime", ""), "300");
    // Keys the file did not hold are written, so that it stays a whole record.
    EXPECT_EQ(saved.keys(kParaSection).size(), keys.size());
    std::filesystem::remove_all(folder);
}

TEST_F(ParaRecordTest, StoredTextSelectsItsItemWithoutRegardToCase)
{
    const std::vector<std::string> feeds{"0X0A", "0X0D"};
    EXPECT_EQ(ItemForText(feeds, "0x0d", false), 1);
    EXPECT_EQ(ItemForText(feeds, "0X0A", false), 0);
    // No match: a plain list shows nothing, a translatable one its first item.
    EXPECT_EQ(ItemForText({"1200", "9600"}, "300", false), -1);
    EXPECT_EQ(ItemForText({"Light", "Normal"}, "正常", true), 0);
    EXPECT_EQ(ItemForText({}, "x", true), -1);
}

// A record saved in Chinese and read in English (or back) keeps its choices:
// the stored text is found in the other language's list by position.
TEST_F(ParaRecordTest, StoredTextInTheOtherLanguageKeepsItsItem)
{
    const std::vector<std::string> english{"Light", "Normal", "Dark", "Very dark"};
    const std::vector<std::vector<std::string>> languages{{"微淡", "正常", "微浓", "高浓度"}, english};
    EXPECT_EQ(ItemForText(english, "微浓", true, languages), 2);
    EXPECT_EQ(ItemForText({"微淡", "正常", "微浓", "高浓度"}, "dark", true, languages), 2);
    EXPECT_EQ(ItemForText(english, "unknown", true, languages), 0);

    const auto flowControl = texts::itemListInEveryLanguage("Flow control", {PST_LANG_DIR});
    ASSERT_EQ(flowControl.size(), 3u);  // built in, Chinese.lng, English.lng
    EXPECT_EQ(ItemForText(flowControl[2], "硬件流控", true, flowControl), 1);
    EXPECT_EQ(ItemForText(flowControl[0], flowControl[2][1], true, flowControl), 1);
    EXPECT_TRUE(texts::itemListInEveryLanguage("No such list", {PST_LANG_DIR}).empty());
}

TEST_F(ParaRecordTest, IndexesFollowTheProfileFunctionsAndTheControls)
{
    EXPECT_EQ(StoredIndex("2", 0), 2);
    EXPECT_EQ(StoredIndex("two", 7), 7);
    EXPECT_EQ(GroupSelection(1, 3), 1);
    EXPECT_EQ(GroupSelection(9, 3), 2);
    EXPECT_EQ(GroupSelection(-1, 3), -1);
    EXPECT_EQ(GroupSelection(-5, 3), -1);
    EXPECT_EQ(RadioPairSecond(0), false);
    EXPECT_EQ(RadioPairSecond(1), true);
    EXPECT_EQ(RadioPairSecond(5), std::nullopt);
    EXPECT_EQ(RadioPairSecond(-1), std::nullopt);
}

}  // namespace
