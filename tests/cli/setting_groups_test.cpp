// Every described setting group is complete: a profile group with its keys,
// a command with its help in both languages, its captions and button in
// both language files, and a payload pinned here byte for byte. A group
// added without one of these fails here, not in a technician's hands.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/ini_file.h"
#include "requests/group_texts.h"
#include "requests/profile.h"
#include "requests/setting_group.h"

using namespace pst;
using namespace pst::requests;

namespace {

using test::TextReader;

struct Golden {
    std::vector<std::string> texts;
    int operation;
    std::int32_t argument1;
    std::vector<std::uint8_t> block;  // the first request's
};

const std::map<std::string, Golden, std::less<>> kGolden{
    {"baudrate", {{"8"}, 8, 8, {}}},
    {"flowcontrol", {{"1"}, 43, 0, {}}},
    {"codepage", {{"4"}, 6, 0, {}}},
    {"switches", {{"3", "3", "1", "1", "1"}, 20, 0, {0xED, 1}}},
    {"sleep", {{"60", "7200"}, 18, 0, {0x3C, 0, 0, 0, 0x20, 0x1C, 0, 0}}},
    {"bluetooth", {{"Shop", "", "1234", "1", "1", "0"}, 11, 0, {}}},
    {"bluetooth-workmode", {{"0"}, 22, 0, {'A', 'T', '+', 'H', 'S', 'M', '=', '2'}}},
    {"wifi-sta", {{"net", "pw", "0", "", "", "", "9100"}, 12, 0, {}}},
    {"wifi-ap", {{"net", "pw"}, 21, 0, {3, 'n', 'e', 't', 2, 'p', 'w'}}},
    {"infrared", {{"4", "0", "1"}, 14, 0, {4, 0, 1}}},
    {"ethernet", {{"192.168.1.87"}, 41, 0, {}}},
    {"blackmark", {{"400", "40", "5"}, 33, 0, {}}},
    {"product", {{"POS-80", "17"}, 15, 0, {}}},
    {"usbtype", {{"0"}, 23, 0, {}}},
    {"papertype", {{"0"}, 23, 1, {}}},
    {"printorder", {{"0"}, 23, 2, {}}},
    {"recycletime", {{"30"}, 24, 0, {30}}},
    {"bluetooth-hide", {{"0"}, 30, 0, {}}},
};

}  // namespace

TEST(SettingGroups, EveryGroupHasEveryPart)
{
    const IniDocument chinese = IniDocument::load(std::string(PST_LANG_DIR) + "/Chinese.lng");
    const IniDocument english = IniDocument::load(std::string(PST_LANG_DIR) + "/English.lng");
    auto inBothLanguages = [&](std::string_view section, const std::string& key) {
        return chinese.value(section, key).has_value() && english.value(section, key).has_value();
    };
    for (const SettingGroup& group : SettingGroups()) {
        SCOPED_TRACE(std::string(group.name));

        const ProfileGroup* profile = FindProfileGroup(group.name);
        ASSERT_NE(profile, nullptr);
        ASSERT_EQ(profile->keys.size(), group.fields.size());

        const cli::Command* command = cli::findCommand(std::string(group.cliCommand));
        ASSERT_NE(command, nullptr);
        EXPECT_FALSE(std::string_view(command->summary).empty());
        for (const char* piece : {".Summary", ".Sends"})
            EXPECT_TRUE(inBothLanguages("CliHelp", std::string(group.cliCommand) + piece)) << piece;

        EXPECT_TRUE(inBothLanguages("FrmPara", std::string(group.button) + ".Caption"));
        for (const SettingField& field : group.fields) {
            EXPECT_FALSE(field.cli.empty()) << field.name;
            if (!field.caption.empty()) {
                EXPECT_TRUE(inBothLanguages("FrmPara", std::string(field.caption) + ".Caption")) << field.name;
            }
            if (field.form == FieldForm::List && !field.itemList.empty() && FixedListItems(field.itemList).empty()) {
                EXPECT_TRUE(!chinese.keys(field.itemList).empty() && !english.keys(field.itemList).empty())
                    << field.itemList;
            }
        }

        const auto golden = kGolden.find(group.name);
        ASSERT_NE(golden, kGolden.end()) << "no golden payload";
        TextReader reader(golden->second.texts);
        const std::vector<Request> requests = GroupRequests(group, reader);
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(operationNumber(requests.front().operation), golden->second.operation);
        EXPECT_EQ(requests.front().argument1, golden->second.argument1);
        if (!golden->second.block.empty()) {
            EXPECT_EQ(requests.front().handOver.paramBlock, golden->second.block);
        }
    }
}
