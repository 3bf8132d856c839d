// Every number the user types into the parameter window (and gives the
// command line or a profile) is read strictly by its request builder: a
// text that is no number of its field's range is refused naming the field,
// never sent as a default or as a number cut to fit.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "requests/group_texts.h"
#include "requests/download_requests.h"
#include "requests/field_refusal.h"
#include "requests/logo_choices.h"
#include "requests/raw_requests.h"
#include "requests/settings_requests.h"

using namespace pst;
using namespace pst::requests;

namespace {

namespace fs = std::filesystem;

struct Builder {
    const SettingField& field;
    std::function<void(const std::string&)> build;
};

std::string written(const SettingField& field, std::int64_t value)
{
    if (field.form == FieldForm::Decimal || value < 0)
        return std::to_string(value);
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

class FieldRefusalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("pst-fields-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        font = (folder / "font.bin").string();
        std::ofstream(font, std::ios::binary) << "font";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<Builder> builders() const
    {
        const std::string target = (folder / "read.bin").string();
        auto mac = [](std::size_t at) {
            return [at](const std::string& text) {
                std::array<std::string, 4> bytes{"65", "66", "67", "68"};
                bytes[at] = text;
                EthernetMacRequest(bytes);
            };
        };
        auto station = [](std::string WifiStationParameters::*member) {
            return [member](const std::string& text) {
                WifiStationParameters p;
                p.ssid = "shop";
                p.*member = text;
                StationRequest(p);
            };
        };
        return {
            {kSleepTimeField, [](const std::string& t) { test::groupRequests("sleep", {t, "7200"}); }},
            {kPowerOffTimeField, [](const std::string& t) { test::groupRequests("sleep", {"600", t}); }},
            {kSleepTimeField,
             [](const std::string& t) { AllParametersRequest(BasicPageValues{.sleepText = t, .powerOffText = "7200"}); }},
            {kPowerOffTimeField,
             [](const std::string& t) { AllParametersRequest(BasicPageValues{.sleepText = "600", .powerOffText = t}); }},
            {kBluetoothTypeField,
             [](const std::string& t) { BluetoothRequest(BluetoothParameters{.name = "P80", .moduleTypeText = t}); }},
            {kStationPortField, station(&WifiStationParameters::portText)},
            {kEthernetPortField, [](const std::string& t) { EthernetPortRequest(t); }},
            {kMacByteFields[0], mac(0)},
            {kMacByteFields[1], mac(1)},
            {kMacByteFields[2], mac(2)},
            {kMacByteFields[3], mac(3)},
            {kWaitTimeField, [this](const std::string& t) { ProgramUpdateRequest(font, t, true, "x"); }},
            {kFontAddressField, [this](const std::string& t) { FontDownloadRequest(font, t); }},
            {kLogoThresholdField, [](const std::string& t) { ConversionFromChoices(0, t, 0); }},
            {kReadStartField, [target](const std::string& t) { ReadBackRequestFor(t, "16", target); }},
            {kReadLengthField, [target](const std::string& t) { ReadBackRequestFor("0", t, target); }},
            {kBlackMarkDistanceField, [](const std::string& t) { BlackMarkDistanceRequest(t); }},
            {kBlackMarkWidthField, [](const std::string& t) { BlackMarkWidthRequest(t); }},
            {kFeedAfterMarkField, [](const std::string& t) { FeedAfterMarkRequest(t); }},
            {kSerialNumberField, [](const std::string& t) { ProductRequest("P80", t); }},
            {kStationIpField, station(&WifiStationParameters::ipAddress)},
            {kStationMaskField, station(&WifiStationParameters::mask)},
            {kStationGatewayField, station(&WifiStationParameters::gateway)},
            {kEthernetIpField, [](const std::string& t) { EthernetAddressRequest(EthernetField::IpAddress, t); }},
            {kEthernetMaskField, [](const std::string& t) { EthernetAddressRequest(EthernetField::SubnetMask, t); }},
            {kEthernetGatewayField, [](const std::string& t) { EthernetAddressRequest(EthernetField::Gateway, t); }},
        };
    }

    fs::path folder;
    std::string font;
};

TEST_F(FieldRefusalTest, EveryTypedNumberIsRefusedNamingItsFieldUnlessItIsInRange)
{
    for (const Builder& builder : builders()) {
        const SettingField& field = builder.field;
        std::vector<std::string> refused{"12xz"};
        std::vector<std::string> taken;
        switch (field.form) {
        case FieldForm::Address:
            refused.insert(refused.end(), {"", "12ab", "192.168.1", "10.1", "0x7f.0.0.1", "192.168.1.256",
                                           "1.2.3.4.5", "255.255.255.255", " 1.2.3.4"});
            taken = {"192.168.1.87", "0.0.0.0"};
            break;
        case FieldForm::Digits:
            // No serial number at all is one the printer can be given.
            refused.insert(refused.end(), {"12ab", " 12", "-1", std::string(field.highest + 1, '1')});
            taken = {"", std::string(field.highest, '9')};
            break;
        case FieldForm::Decimal:
        case FieldForm::Hexadecimal:
            refused.insert(refused.end(), {"", written(field, std::int64_t{field.lowest} - 1),
                                           written(field, std::int64_t{field.highest} + 1)});
            // "12ab" is a number in hexadecimal.
            if (field.form == FieldForm::Decimal)
                refused.push_back("12ab");
            taken = {written(field, field.lowest), written(field, field.highest)};
            break;
        case FieldForm::Text:
        case FieldForm::List:
        case FieldForm::OnOff:
            ADD_FAILURE() << field.name << " is no typed number";
            break;
        }
        for (const std::string& text : refused) {
            try {
                builder.build(text);
                ADD_FAILURE() << field.control << " took '" << text << "'";
            } catch (const EFieldRefusal& refusal) {
                EXPECT_EQ(refusal.field().control, field.control) << "'" << text << "'";
                EXPECT_NE(std::string(refusal.what()).find(field.name), std::string::npos) << refusal.what();
            }
        }
        for (const std::string& text : taken)
            EXPECT_NO_THROW(builder.build(text)) << field.control << " refused '" << text << "'";
    }
}

TEST_F(FieldRefusalTest, TheRefusalSaysWhatTheFieldTakesUnderTheWindowsCaption)
{
    try {
        test::groupRequests("sleep", {"12ab", "7200"});
        FAIL() << "no refusal";
    } catch (const EFieldRefusal& refusal) {
        EXPECT_STREQ(refusal.what(), "sleepTime：请输入 1 到 999999999 之间的整数");
        EXPECT_EQ(refusal.textFor("休眠时间"), "休眠时间：请输入 1 到 999999999 之间的整数");
    }
    EXPECT_EQ(EFieldRefusal(kMacByteFields[2]).textFor("MAC 5"), "MAC 5：请输入 00 到 FF 之间的十六进制数");
    EXPECT_EQ(EFieldRefusal(kEthernetIpField).textFor("IP 地址"),
              "IP 地址：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）");
    // The numbers the command line read itself meet the same ranges.
    EXPECT_THROW(BlackMarkDistanceRequest(9999), EFieldRefusal);
    EXPECT_THROW(MemoryReadRequest(0, 0, (folder / "read.bin").string()), EFieldRefusal);
}

}  // namespace
