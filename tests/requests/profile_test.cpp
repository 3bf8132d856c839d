// Profiles read as groups: the same bytes whichever language wrote the
// lists, every value that cannot be sent refused before anything goes out,
// the groups that must be named, the serial number per printer, and the
// parameter window's import and export.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>
#include <unistd.h>

#include "requests/profile.h"
#include "texts/message_texts.h"

namespace pst::requests {
namespace {

const ProfileLists kLists{{PST_LANG_DIR}};

Profile profileOf(const std::string& body)
{
    return Profile::read(IniDocument::parse("[ParaDefault]\n" + body));
}

const ProfileGroup& group(std::string_view name)
{
    const ProfileGroup* found = FindProfileGroup(name);
    EXPECT_TRUE(found) << name;
    return *found;
}

// What a group sends, as comparable values.
std::vector<std::tuple<Operation, std::int32_t, std::int32_t, std::vector<std::uint8_t>>>
sent(std::string_view name, const Profile& profile, std::size_t printer = 0)
{
    std::vector<std::tuple<Operation, std::int32_t, std::int32_t, std::vector<std::uint8_t>>> all;
    for (const Request& r : GroupRequests(group(name), profile, kLists, printer))
        all.emplace_back(r.operation, r.argument1, r.argument2, r.handOver.paramBlock);
    return all;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMessageTexts(); }
    void TearDown() override { ResetMessageTexts(); }
};

TEST_F(ProfileTest, ListsWrittenInEitherLanguageSendTheSameBytes)
{
    const Profile english = profileOf("Dark=Dark\nFontValue=9x24\nCutPaper=0\nbuzzer=1\nForcePaper=0x0d\n"
                                      "Flowcontrol=Software flow control\nPaperType=Thermal receipt paper\n"
                                      "PrinterOrder=Reverse order\nUsbDeviceTpe=USB virtual serial port\n"
                                      "BluetoothSEEK=Unhide Bluetooth\n");
    const Profile chinese = profileOf("Dark=高浓度\nFontValue=9x24\nCutPaper=0\nbuzzer=1\nForcePaper=0X0D\n"
                                      "Flowcontrol=软件流控\nPaperType=热敏票据纸\nPrinterOrder=倒序\n"
                                      "UsbDeviceTpe=USB虚拟串口\nBluetoothSEEK=取消蓝牙隐身\n");
    for (const char* name : {"switches", "flowcontrol", "papertype", "printorder", "usbtype", "bluetooth-hide"}) {
        ASSERT_TRUE(english.holds(group(name))) << name;
        EXPECT_EQ(sent(name, english), sent(name, chinese)) << name;
        EXPECT_EQ(sent(name, english).size(), 1u) << name;
    }
    // And they are the choices named, not the lists' first items.
    EXPECT_NE(sent("printorder", english), sent("printorder", profileOf("PrinterOrder=Normal order\n")));
    EXPECT_NE(sent("switches", english), sent("switches", profileOf("Dark=Light\nFontValue=9x24\nCutPaper=0\n"
                                                                    "buzzer=1\nForcePaper=0X0D\n")));
}

TEST_F(ProfileTest, CheckNamesEveryGroupThatCannotBeSentAndEveryUnknownKey)
{
    const Profile profile = profileOf("CodePage=CP999:Nowhere\n"
                                      "sleepTime=0\npoweroffTime=3600\n"
                                      "RptTime=12x\n"
                                      "Dark=Dark\nFontValue=12x24\n"   // switches without three keys
                                      "BlueToolthWorkMode=Normal mode\n"
                                      "Colour=blue\n");
    const auto checks = CheckProfile(profile, kLists);
    std::map<std::string, GroupCheck> byName;
    for (const GroupCheck& check : checks)
        byName[std::string(check.group->name)] = check;
    ASSERT_EQ(byName.size(), 5u);
    EXPECT_NE(byName["codepage"].error.find("CodePage"), std::string::npos);
    EXPECT_NE(byName["codepage"].error.find("CP999:Nowhere"), std::string::npos);
    EXPECT_NE(byName["sleep"].error.find("sleepTime"), std::string::npos);
    EXPECT_NE(byName["sleep"].error.find("999999999"), std::string::npos);
    EXPECT_NE(byName["recycletime"].error.find("RptTime"), std::string::npos);
    EXPECT_FALSE(byName["switches"].present);
    EXPECT_EQ(byName["switches"].missingKeys, (std::vector<std::string>{"CutPaper", "buzzer", "ForcePaper"}));
    EXPECT_TRUE(byName["bluetooth-workmode"].present);
    EXPECT_TRUE(byName["bluetooth-workmode"].error.empty());
    EXPECT_EQ(profile.unknownKeys(), std::vector<std::string>{"Colour"});
    // Keys of the record that belong to no group (files, the wait time) are
    // neither unknown nor a group.
    EXPECT_TRUE(profileOf("PrgFile=/tmp/p.bin\nWaitTime=5\n").unknownKeys().empty());
    EXPECT_TRUE(CheckProfile(profileOf("PrgFile=/tmp/p.bin\n"), kLists).empty());
}

TEST_F(ProfileTest, GroupsThatReachOrNameThePrinterMustBeNamed)
{
    const Profile profile = profileOf("BaudRate=115200\nNetIPAddress=192.168.1.50\nDeviceName=PNF80\n"
                                      "DeviceSerialNo=100\nCodePage=CP437:USA/Standard Europe\n"
                                      "SSID=shop\nStaModePsw=secret\nIpType=1\nIPaddress=192.168.1.60\n"
                                      "Maskaddress=255.255.255.0\nGatewayaddress=192.168.1.1\nPort=9100\n");
    for (const char* name : {"baudrate", "ethernet", "product", "wifi-sta"})
        EXPECT_TRUE(GroupMustBeNamed(group(name), profile)) << name;
    EXPECT_FALSE(GroupMustBeNamed(group("codepage"), profile));
    // A station that takes its address from the network may go to every printer.
    const Profile dynamic = profileOf("SSID=shop\nStaModePsw=secret\nIpType=0\nIPaddress=\nMaskaddress=\n"
                                      "Gatewayaddress=\nPort=9100\n");
    EXPECT_FALSE(GroupMustBeNamed(group("wifi-sta"), dynamic));
    EXPECT_EQ(sent("wifi-sta", dynamic).size(), 1u);
}

TEST_F(ProfileTest, EachPrinterGetsTheNextSerialNumberTheWayTheWindowSteps)
{
    const Profile up = profileOf("DeviceName=PNF80\nDeviceSerialNo=0099\n");
    EXPECT_EQ(SerialNumberFor(up, 0), "0099");
    EXPECT_EQ(SerialNumberFor(up, 1), "100");
    EXPECT_EQ(SerialNumberFor(up, 3), "102");
    const Profile down = profileOf("DeviceName=PNF80\nDeviceSerialNo=10\ncalculate=0\n");
    EXPECT_EQ(SerialNumberFor(down, 2), "8");
    EXPECT_NE(sent("product", up, 0), sent("product", up, 1));
    EXPECT_EQ(sent("product", up, 1), sent("product", profileOf("DeviceName=PNF80\nDeviceSerialNo=100\n"), 0));
}

TEST_F(ProfileTest, ImportTakesWhatTheFileHoldsAndSaysWhatItDidNotUnderstand)
{
    const ParaValues current = ReadParaRecord(IniDocument{});
    const Profile profile = profileOf("sleepTime=45\nCodePage=CP999\nLuckyNumber=7\nFlowcontrol=\n");
    const ImportedProfile imported = ImportProfile(profile, current, kLists);
    const auto keys = ParaKeyTable();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].key == "sleepTime")
            EXPECT_EQ(imported.values[i], "45");
        else if (keys[i].key == "CodePage")
            EXPECT_EQ(imported.values[i], "CP999");
        else if (keys[i].key == "Flowcontrol")
            EXPECT_EQ(imported.values[i], "");
        else
            EXPECT_EQ(imported.values[i], current[i]) << keys[i].key;
    }
    // The empty flow control is as a window leaves an unchosen list: no
    // problem. The rest name the fields by the captions the window gives.
    const auto caption = [](std::string_view key) {
        return key == "sleepTime" ? std::string("休眠时间")
            : key == "CodePage"   ? std::string("设置语言")
                                  : std::string();
    };
    EXPECT_EQ(ImportProblemLines(imported.problems, caption),
              (std::vector<std::string>{"未知的键：LuckyNumber", "设置语言：'CP999' 不是列表中的选项",
                                        "休眠时间：不完整，缺少 poweroffTime"}));

    // An export reads back as the same record, and as a profile of every group.
    const auto path = std::filesystem::temp_directory_path() / ("pst-export-" + std::to_string(::getpid()) + ".ini");
    ASSERT_EQ(ExportProfile(path.string(), current), "");
    EXPECT_EQ(ReadParaRecord(IniDocument::load(path.string())), current);
    const Profile exported = Profile::read(IniDocument::load(path.string()));
    for (const ProfileGroup& each : ProfileGroups())
        EXPECT_TRUE(exported.holds(each)) << each.name;
    // A window's untouched record applies as it stands: the groups left
    // with blank names have nothing to send, and nothing else is refused.
    for (const GroupCheck& check : CheckProfile(exported, kLists)) {
        EXPECT_TRUE(check.error.empty()) << check.group->name << ": " << check.error;
        const bool blank = check.group->name == "bluetooth" || check.group->name == "wifi-ap" ||
            check.group->name == "wifi-sta" || check.group->name == "product";
        EXPECT_EQ(check.empty, blank) << check.group->name;
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace pst::requests
