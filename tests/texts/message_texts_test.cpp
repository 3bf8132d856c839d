// The message-text table: keys, defaults, replacement by a language file,
// and reads from another thread while texts are replaced.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/ini_file.h"
#include "texts/message_texts.h"

using namespace pst;

namespace {

class MessageTexts : public ::testing::Test {
protected:
    void TearDown() override { ResetMessageTexts(); }
};

}  // namespace

TEST_F(MessageTexts, EveryKeyHasItsChineseDefault)
{
    EXPECT_EQ(MessageTextTable().size(), 131u);
    EXPECT_EQ(MessageTextTable().front().key, "sConnectErrorstr");
    EXPECT_EQ(MessageTextTable().back().key, "sFieldDigitsMsg");
    EXPECT_EQ(MessageText("sWaitSecondsMsg"), "等待%d秒...");
    EXPECT_EQ(MessageText("sMsg17"), "设置代码页成功");
    EXPECT_EQ(MessageText("sMsg5"), "设置 WIFI IP AP 成功");
    EXPECT_EQ(MessageText("SIPError"), "IP 地址不正确");
    EXPECT_EQ(MessageText("noSuchKey"), "noSuchKey");
}

TEST_F(MessageTexts, BothLanguageFilesHaveEveryKey)
{
    const std::string folder = PST_LANG_DIR;
    const IniDocument chinese = IniDocument::load(folder + "/Chinese.lng");
    const IniDocument english = IniDocument::load(folder + "/English.lng");
    for (const MessageTextEntry& entry : MessageTextTable()) {
        EXPECT_EQ(chinese.readString("String", entry.key, "(missing)"), entry.defaultText) << entry.key;
        const std::string inEnglish = english.readString("String", entry.key, "(missing)");
        EXPECT_NE(inEnglish, "(missing)") << entry.key;
        // A format keeps its number in every language.
        EXPECT_EQ(inEnglish.find("%d") == std::string::npos,
                  std::string_view(entry.defaultText).find("%d") == std::string_view::npos)
            << entry.key;
    }
}

TEST_F(MessageTexts, LanguageFileReplacesTextsAndItems)
{
    EXPECT_TRUE(SetMessageText("sMsg17", "Code page set"));
    EXPECT_EQ(MessageText("sMsg17"), "Code page set");
    EXPECT_FALSE(SetMessageText("noSuchKey", "x"));

    EXPECT_EQ(ItemListTable().size(), 14u);
    EXPECT_EQ(ItemList("Dark description"), (std::vector<std::string>{"微淡", "正常", "微浓", "高浓度"}));
    EXPECT_TRUE(SetItemText("Printer Order", 0, "Reverse"));
    EXPECT_EQ(ItemList("Printer Order").front(), "Reverse");
    EXPECT_FALSE(SetItemText("Printer Order", 2, "no third item"));
    EXPECT_FALSE(SetItemText("No list", 0, "x"));
    EXPECT_TRUE(ItemList("No list").empty());

    ResetMessageTexts();
    EXPECT_EQ(MessageText("sMsg17"), "设置代码页成功");
    EXPECT_EQ(ItemList("Printer Order").front(), "倒序");
}

TEST_F(MessageTexts, ReadsNeverSeeAHalfReplacedText)
{
    const std::string english = "Code page set, a text long enough to live on the heap";
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i)
            SetMessageText("sMsg17", i % 2 ? english : std::string("设置代码页成功"));
        stop = true;
    });
    while (!stop) {
        const std::string text = MessageText("sMsg17");
        ASSERT_TRUE(text == english || text == "设置代码页成功") << text;
    }
    writer.join();
}
