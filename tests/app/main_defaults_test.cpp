#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/app_options.h"
#include "app/connection_refresh.h"
#include "app/speed_boxes.h"
#include "protocol/value_mappings.h"
#include "texts/main_defaults.h"
#include "platform/int_conversion.h"

namespace pst::app {
using namespace pst::texts;
namespace {

namespace fs = std::filesystem;

MainDefaults read(const std::string& text)
{
    return readMainDefaults(IniDocument::parse(text));
}

TEST(MainDefaultsTest, MissingFileGivesTheDesignDefaults)
{
    const MainDefaults defaults = readMainDefaults(IniDocument::load("/nonexistent/sysconfig.ini"));
    EXPECT_EQ(defaults.ipAddress, "192.168.1.87");
    EXPECT_EQ(defaults.language, 0);
    EXPECT_FALSE(defaults.languageStored);
    ASSERT_TRUE(defaults.tranMode.has_value());
    EXPECT_EQ(*defaults.tranMode, 0);
}

TEST(MainDefaultsTest, StoredValuesAreReadWhateverTheCase)
{
    const MainDefaults defaults =
        read("[maindefault]\r\nip address = 10.0.0.5\r\nLANGUAGE=1\r\ntranmode=2\r\n");
    EXPECT_EQ(defaults.ipAddress, "10.0.0.5");
    EXPECT_EQ(defaults.language, 1);
    EXPECT_TRUE(defaults.languageStored);
    EXPECT_EQ(defaults.tranMode, 2);
}

TEST(MainDefaultsTest, AStoredZeroIsAChoiceAndAMissingKeyIsNone)
{
    EXPECT_TRUE(read("[MainDefault]\nLanguage=0\n").languageStored);
    EXPECT_FALSE(read("[MainDefault]\nTranMode=1\n").languageStored);
    EXPECT_FALSE(read("[Other]\nLanguage=1\n").languageStored);
}

TEST(MainDefaultsTest, LinkKindOutsideZeroToThreeKeepsTheCurrentChoice)
{
    EXPECT_FALSE(read("[MainDefault]\nTranMode=7\n").tranMode.has_value());
    EXPECT_FALSE(read("[MainDefault]\nTranMode=-1\n").tranMode.has_value());
    EXPECT_EQ(read("[MainDefault]\nTranMode=3\n").tranMode, 3);
    // Text that is not a number reads as the default, serial.
    EXPECT_EQ(read("[MainDefault]\nTranMode=USB\n").tranMode, 0);
}

class MainDefaultsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("pst-maindefault-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        path = (folder / kSettingsFileName).string();
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string contents() const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path folder;
    std::string path;
};

TEST_F(MainDefaultsFileTest, SavingKeepsTheParameterWindowsSection)
{
    std::ofstream(path, std::ios::binary) << "; written by hand\r\n[ParaDefault]\r\nBaudRate=19200\r\n\r\n"
                                             "[MainDefault]\r\nIP Address=1.2.3.4\r\n";
    ASSERT_EQ(saveMainDefaults(path, "192.168.0.9", 1, 2), "");
    EXPECT_EQ(contents(),
              "; written by hand\r\n[ParaDefault]\r\nBaudRate=19200\r\n\r\n"
              "[MainDefault]\r\nIP Address=192.168.0.9\r\nLanguage=1\r\nTranMode=2\r\n");
    const MainDefaults back = readMainDefaults(IniDocument::load(path));
    EXPECT_EQ(back.ipAddress, "192.168.0.9");
    EXPECT_EQ(back.language, 1);
    EXPECT_EQ(back.tranMode, 2);
}

TEST_F(MainDefaultsFileTest, AFileThatCannotBeWrittenIsReportedNotCrashed)
{
    // A folder in the file's place stops even root from replacing it.
    fs::create_directories(path);
    EXPECT_NE(saveMainDefaults(path, "1.2.3.4", 0, 0), "");
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(ConnectionRefreshTest, SerialCopiesThePortAndChecksBothSpeeds)
{
    ConnectionSettingsStore store;
    LinkControls controls{LinkKind::Serial, "/dev/ttyUSB0", "9600",          "115200",
                          "10.0.0.1",       "abc",          "VID_1&PID_811E"};
    refreshConnectionSettings(store, controls);
    const ConnectionSettings s = store.get();
    EXPECT_EQ(s.kind, LinkKind::Serial);
    EXPECT_EQ(s.comName, "/dev/ttyUSB0");
    // Only the chosen link's fields are copied.
    EXPECT_EQ(s.ipAddress, "");
    EXPECT_EQ(s.usbDeviceId, "");
}

TEST(ConnectionRefreshTest, OnlyThePrintersSpeedsAreTakenAndTheRefusalNamesTheBox)
{
    ConnectionSettingsStore store;
    // 12345 would go out as speed code 0, that is 9600.
    for (const char* speed : {"12345", "96OO", "", "9600 ", "09600", "0x2580"}) {
        LinkControls controls{LinkKind::Serial, "/dev/ttyUSB0", speed, "115200", {}, {}, {}};
        try {
            refreshConnectionSettings(store, controls);
            ADD_FAILURE() << "'" << speed << "' was taken as a speed";
        } catch (const ELinkBoxRefusal& refusal) {
            EXPECT_EQ(refusal.control(), kDeviceSpeedBox);
        }
        std::swap(controls.deviceSpeedText, controls.transferSpeedText);
        try {
            refreshConnectionSettings(store, controls);
            ADD_FAILURE() << "'" << speed << "' was taken as a transfer speed";
        } catch (const ELinkBoxRefusal& refusal) {
            EXPECT_EQ(refusal.control(), kTransferSpeedBox);
        }
    }
    EXPECT_EQ(store.get().comName, "COM1") << "nothing may change";
    EXPECT_EQ(SpeedRefusalText("波特率"),
              "波特率：请选择以下速度之一：1200 2400 4800 9600 19200 38400 57600 115200 230400");
    for (const std::string_view speed : kBaudRateItems)
        EXPECT_TRUE(IsListedSpeed(speed)) << speed;
}

TEST(ConnectionRefreshTest, NetworkTakesTheAddressAndOnlyAPort)
{
    ConnectionSettingsStore store;
    // Off the serial link the speeds need only be numbers; the port must be
    // a port, and nothing else becomes one.
    LinkControls controls{LinkKind::Network, "COM9", "12345", "7", "192.168.1.87", "9100", {}};
    refreshConnectionSettings(store, controls);
    EXPECT_EQ(store.get().ipAddress, "192.168.1.87");
    EXPECT_EQ(store.get().port, 9100);
    EXPECT_EQ(store.get().comName, "COM1");
    EXPECT_EQ(store.get().deviceSpeed, 12345u);
    EXPECT_EQ(store.get().transferSpeed, 7u);
    // A speed that is no number is refused here, with the message a run
    // started with it used to end on, and changes nothing.
    for (const bool device : {true, false}) {
        LinkControls typo = controls;
        typo.ipAddress = "10.0.0.9";
        (device ? typo.deviceSpeedText : typo.transferSpeedText) = "96OO";
        try {
            refreshConnectionSettings(store, typo);
            ADD_FAILURE() << "'96OO' was taken as a speed";
        } catch (const EConvertError& failure) {
            EXPECT_STREQ(failure.what(), "'96OO' is not a valid integer value");
        }
        EXPECT_EQ(store.get().ipAddress, "192.168.1.87");
    }
    for (const char* port : {"51x0", "", "0", "65536", " 5100", "-1"}) {
        controls.portText = port;
        try {
            refreshConnectionSettings(store, controls);
            ADD_FAILURE() << "'" << port << "' was taken as a port";
        } catch (const ELinkBoxRefusal& refusal) {
            EXPECT_EQ(refusal.control(), kPortBox);
            EXPECT_EQ(refusal.textFor("端口"), "端口：请输入 1 到 65535 之间的整数");
        }
    }
    EXPECT_EQ(store.get().port, 9100) << "nothing may change";
}

TEST(ConnectionRefreshTest, UsbTakesTheDeviceIdentifier)
{
    ConnectionSettingsStore store;
    refreshConnectionSettings(store, {LinkKind::Usb, {}, "9600", "115200", {}, {}, "VID_1234&PID_811E"});
    EXPECT_EQ(store.get().kind, LinkKind::Usb);
    EXPECT_EQ(store.get().usbDeviceId, "VID_1234&PID_811E");
}

TEST(AppOptionsTest, OptionsAndTheirErrors)
{
    const auto parsed = parseAppOptions({"--data-dir", "/tmp/x", "--serial=/dev/pts/3"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->dataDir, "/tmp/x");
    EXPECT_EQ(parsed.options->serialPort, "/dev/pts/3");
    EXPECT_EQ(parseAppOptions({"--serial"}).error, "--serial needs a value");
    EXPECT_EQ(parseAppOptions({"--colour"}).error, "unknown option --colour");
    EXPECT_EQ(parseAppOptions({"--data-dir="}).error, "--data-dir needs a value");
}

}  // namespace
}  // namespace pst::app
