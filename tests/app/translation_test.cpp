#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/field_names.h"
#include "texts/message_texts.h"
#include "texts/translation.h"

namespace pst::app {
using namespace pst::texts;
namespace {

namespace fs = std::filesystem;

struct FakeControl {
    std::string name;
    std::string text;
    std::string hint;
};

class FakeWindow : public TranslatableWindow {
public:
    FakeWindow(std::string name, std::string caption, std::vector<FakeControl> controls)
        : name_(std::move(name)), caption_(std::move(caption)), controls_(std::move(controls))
    {
    }

    std::string windowName() const override { return name_; }
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& text) override { caption_ = text; }
    std::size_t controlCount() const override { return controls_.size(); }
    std::string controlName(std::size_t i) const override { return controls_[i].name; }
    std::string controlText(std::size_t i) const override { return controls_[i].text; }
    void setControlText(std::size_t i, const std::string& text) override { controls_[i].text = text; }
    std::string controlHint(std::size_t i) const override { return controls_[i].hint; }
    void setControlHint(std::size_t i, const std::string& text) override { controls_[i].hint = text; }

    const FakeControl& control(const std::string& name) const
    {
        for (const auto& c : controls_)
            if (c.name == name)
                return c;
        throw std::out_of_range(name);
    }

private:
    std::string name_;
    std::string caption_;
    std::vector<FakeControl> controls_;
};

const char* const kEnglish = R"([FrmMain]
Caption=Setting Tool
btn_Test.Caption=Test communication
btn_Test.Hint=Tests the link
cbb_UsbDeviceList.Caption=should not appear
edt_Blank.Hint=should not appear either

[Flow control]
0=Software flow control
1=Hardware flow control

[Trans Mode]
0=Current choice: serial port
2=Current choice: USB

[String]
sConnectOKstr=Connection succeeded
sMsg24=The file does not exist
BlackErrorStr1=English black-mark text
)";

const char* const kChinese = R"([Flow control]
0=中文软件流控
[Trans Mode]
0=当前选择串口
[String]
sConnectOKstr=连接成功
sMsg24=中文文件不存在
BlackErrorStr1=黑标查找距离值不对
)";

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMessageTexts(); }
    void TearDown() override { ResetMessageTexts(); }

    FakeWindow mainWindow{"FrmMain",
                          "Pennafor Setting Tool V1.0",
                          {{"btn_Test", "测试通讯", "测试"},
                           {"cbb_UsbDeviceList", "", ""},
                           {"edt_Blank", "x", ""},
                           {"lbl_Other", "不变", ""}}};
};

TEST_F(TranslationTest, ControlsTakeTheirCaptionAndHintFromTheWindowsSection)
{
    translateAll(IniDocument::parse(kEnglish), 1, {&mainWindow});
    EXPECT_EQ(mainWindow.caption(), "Setting Tool");
    EXPECT_EQ(mainWindow.control("btn_Test").text, "Test communication");
    EXPECT_EQ(mainWindow.control("btn_Test").hint, "Tests the link");
    // Empty texts and hints are left alone, and so are controls without keys.
    EXPECT_EQ(mainWindow.control("cbb_UsbDeviceList").text, "");
    EXPECT_EQ(mainWindow.control("edt_Blank").hint, "");
    EXPECT_EQ(mainWindow.control("lbl_Other").text, "不变");
}

TEST_F(TranslationTest, AWindowWithoutCaptionKeepsItEmpty)
{
    FakeWindow untitled{"FrmMain", "", {}};
    translateWindow(IniDocument::parse(kEnglish), untitled);
    EXPECT_EQ(untitled.caption(), "");
}

TEST_F(TranslationTest, AMissingFileChangesNothing)
{
    translateAll(IniDocument::load("/nonexistent/English.lng"), 1, {&mainWindow});
    EXPECT_EQ(mainWindow.caption(), "Pennafor Setting Tool V1.0");
    EXPECT_EQ(mainWindow.control("btn_Test").text, "测试通讯");
    EXPECT_EQ(MessageText("sConnectOKstr"), "连接成功");
    EXPECT_EQ(linkKindText(2), "当前选择USB");
}

TEST_F(TranslationTest, ItemListsAndTextsFollowTheFileKeyByKey)
{
    translateAll(IniDocument::parse(kEnglish), 1, {});
    EXPECT_EQ(MessageText("sConnectOKstr"), "Connection succeeded");
    EXPECT_EQ(linkKindText(0), "Current choice: serial port");
    EXPECT_EQ(linkKindText(1), "当前选择以太网") << "a missing item keeps its text";
    EXPECT_EQ(linkKindText(2), "Current choice: USB");
}

TEST_F(TranslationTest, ChineseAfterEnglishKeepsFlowControlAndMsg24English)
{
    translateAll(IniDocument::parse(kEnglish), 1, {});
    translateAll(IniDocument::parse(kChinese), 0, {});
    EXPECT_EQ(ItemList("Flow control"),
              (std::vector<std::string>{"Software flow control", "Hardware flow control"}));
    EXPECT_EQ(MessageText("sMsg24"), "The file does not exist");
    EXPECT_EQ(MessageText("sConnectOKstr"), "连接成功");
    EXPECT_EQ(linkKindText(0), "当前选择串口");
}

TEST_F(TranslationTest, EnglishNeverReadsTheBlackMarkTexts)
{
    translateAll(IniDocument::parse(kEnglish), 1, {});
    EXPECT_EQ(MessageText("BlackErrorStr1"), "黑标查找距离值不对");
    // The Chinese pass reads them.
    translateAll(IniDocument::parse("[String]\nBlackErrorStr1=changed\n"), 0, {});
    EXPECT_EQ(MessageText("BlackErrorStr1"), "changed");
}

TEST_F(TranslationTest, LanguageIndexChoosesTheFile)
{
    EXPECT_EQ(languageFileName(1), "English.lng");
    EXPECT_EQ(languageFileName(0), "Chinese.lng");
    EXPECT_EQ(languageFileName(-1), "Chinese.lng");

    const fs::path first = fs::temp_directory_path() / ("pst-lang-a-" + std::to_string(::getpid()));
    const fs::path second = fs::temp_directory_path() / ("pst-lang-b-" + std::to_string(::getpid()));
    fs::create_directories(first);
    fs::create_directories(second);
    std::ofstream(second / "English.lng") << kEnglish;
    // Compared as paths: Windows takes either separator.
    EXPECT_EQ(fs::path(findLanguageFile({first.string(), second.string()}, 1)), second / "English.lng");
    std::ofstream(first / "English.lng") << kEnglish;
    EXPECT_EQ(fs::path(findLanguageFile({first.string(), second.string()}, 1)), first / "English.lng");
    EXPECT_EQ(findLanguageFile({first.string(), second.string()}, 0), "");
    fs::remove_all(first);
    fs::remove_all(second);
}

// The worker reads success texts while the user may switch the language:
// every read must give one whole text, never a mix.
TEST_F(TranslationTest, TextsReadDuringASwitchAreWhole)
{
    const std::string english(4000, 'e');
    const std::string chinese = std::string(1000, 'c');
    const IniDocument englishFile = IniDocument::parse("[String]\nsMsg17=" + english + "\n");
    const IniDocument chineseFile = IniDocument::parse("[String]\nsMsg17=" + chinese + "\n");
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!stop) {
            const std::string text = MessageText("sMsg17");
            if (text != english && text != chinese && text != "设置代码页成功")
                ++torn;
        }
    });
    for (int i = 0; i < 200; ++i) {
        translateMessageTexts(englishFile, 1);
        translateMessageTexts(chineseFile, 0);
    }
    stop = true;
    reader.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace pst::app

TEST(FieldNameFromLabel, TheLabelWithoutItsColonShortcutMarkOrBlanksAndAPlaceAfterTheFirst)
{
    using pst::app::FieldNameFromLabel;
    EXPECT_EQ(FieldNameFromLabel("Sleep time:", 1), "Sleep time");
    EXPECT_EQ(FieldNameFromLabel("休眠时间：", 1), "休眠时间");
    EXPECT_EQ(FieldNameFromLabel("&Port : ", 1), "Port");
    EXPECT_EQ(FieldNameFromLabel("Save && quit", 1), "Save & quit");
    EXPECT_EQ(FieldNameFromLabel("MAC", 3), "MAC 3");
    // Nothing left of it but the colon: the place still tells fields apart.
    EXPECT_EQ(FieldNameFromLabel(":", 2), " 2");
}
