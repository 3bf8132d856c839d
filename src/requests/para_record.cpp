#include "requests/para_record.h"

#include <array>
#include <vector>

#include "requests/setting_group.h"
#include "texts/message_texts.h"
#include "platform/int_conversion.h"
#include "platform/text_compare.h"

namespace pst::requests {

namespace {

using K = ParaKind;

constexpr std::array<ParaKey, 55> kOwnKeys{{
    {.key = "BaudRate", .control = "cbb_BauRate", .kind = K::ItemText, .defaultText = "9600"},
    {.key = "CodePage",
     .control = "cbb_Codepage",
     .kind = K::ItemText,
     .defaultText = "CP437:USA/Standard Europe"},
    {.key = "FontValue", .control = "cbb_FontValue", .kind = K::ItemText, .defaultText = "12x24"},
    {.key = "Dark",
     .control = "cbb_Dark",
     .kind = K::ItemText,
     .itemList = "Dark description",
     .defaultItem = 1},
    {.key = "ForcePaper", .control = "cbb_Forcepaper", .kind = K::ItemText, .defaultText = "0X0A"},
    {.key = "buzzer", .control = "chk_buzzer", .kind = K::Bool, .defaultText = "1"},
    {.key = "Drawer", .control = "chk_Drawer", .kind = K::Bool, .defaultText = "0"},
    {.key = "CutPaper", .control = "chk_CutPaper", .kind = K::Bool, .defaultText = "1"},
    {.key = "AutoprintLast", .control = "chk_AutoprintLast", .kind = K::Bool, .defaultText = "0"},
    {.key = "sleepTime", .control = "edt_sleepTime", .kind = K::Text, .defaultText = "600"},
    {.key = "poweroffTime", .control = "edt_poweroffTime", .kind = K::Text, .defaultText = "7200"},
    {.key = "BlueToolthName", .control = "edt_lyName", .kind = K::Text},
    {.key = "MulBlueToolthName", .control = "edt_smlyName", .kind = K::Text},
    {.key = "BlueToolthPsw", .control = "edt_lyPsw", .kind = K::Text},
    {.key = "BlueToolthType", .control = "edt_lyType", .kind = K::Text, .defaultText = "1"},
    {.key = "BlueToolthMode", .control = "rg_lyMode", .kind = K::GroupIndex, .defaultText = "1"},
    {.key = "BlueToolthCheck", .control = "rg_lyPswcheck", .kind = K::GroupIndex, .defaultText = "0"},
    {.key = "BlueToolthWorkMode",
     .control = "cbb_lyWorkMode",
     .kind = K::ItemText,
     .itemList = "BlueToolth WorkMode",
     .defaultItem = 1},
    {.key = "BlueToolthCmd", .control = "edt_lyTestTxt", .kind = K::Text},
    {.key = "NetworkName", .control = "edt_GuangboName", .kind = K::Text},
    {.key = "NetworkPsw", .control = "edt_APPsw", .kind = K::Text},
    {.key = "SSID", .control = "edt_SSID", .kind = K::Text},
    {.key = "StaModePsw", .control = "edt_StaModePsw", .kind = K::Text},
    {.key = "IpType",
     .control = "rb_AutoIp",
     .kind = K::RadioPair,
     .defaultText = "1",
     .secondControl = "rb_StaticIP"},
    {.key = "IPaddress", .control = "edt_IPaddress", .kind = K::Text, .defaultText = "192.168.1.87"},
    {.key = "Maskaddress", .control = "edt_Mask", .kind = K::Text, .defaultText = "255.255.255.0"},
    {.key = "Gatewayaddress", .control = "edt_Gateway", .kind = K::Text, .defaultText = "192.168.1.1"},
    {.key = "Port", .control = "edt_Port", .kind = K::Text, .defaultText = "9100"},
    {.key = "NetIPAddress", .control = "edt_NetIPAddress", .kind = K::Text, .defaultText = "192.168.1.87"},
    {.key = "NetWorkPort", .control = "edt_NetWorkPort", .kind = K::Text, .defaultText = "1345678"},
    {.key = "InfraredType",
     .control = "rb_notInfrared",
     .kind = K::RadioPair,
     .defaultText = "1",
     .secondControl = "rb_Infrared"},
    {.key = "InfraredBaurate", .control = "cbb_InfraredBaurate", .kind = K::ItemText, .defaultText = "9600"},
    {.key = "irdaProtecl",
     .control = "cbb_irdaProtecl",
     .kind = K::ItemText,
     .itemList = "irda Protecl",
     .defaultItem = 0},
    {.key = "PrgFile", .control = "edt_Prgfile", .kind = K::Text},
    {.key = "FontFile", .control = "edt_FontFile", .kind = K::Text},
    {.key = "FontAddress", .control = "edt_FontAddress", .kind = K::Text},
    {.key = "StartAddress", .control = "edt_StartAddress", .kind = K::Text},
    {.key = "ReadLength", .control = "edt_ReadLength", .kind = K::Text},
    {.key = "DeviceName", .control = "edt_DeviceName", .kind = K::Text},
    {.key = "DeviceSerialNo", .control = "edt_DeviceSerialNo", .kind = K::Text},
    {.key = "UsbDeviceTpe",
     .control = "cbb_UsbDeviceTpe",
     .kind = K::ItemText,
     .itemList = "USB Device Type",
     .defaultItem = 1},
    {.key = "PrinterOrder",
     .control = "cbb_PrinterOrder",
     .kind = K::ItemText,
     .itemList = "Printer Order",
     .defaultItem = 1},
    {.key = "PaperType",
     .control = "cbb_PaperType",
     .kind = K::ItemText,
     .itemList = "Paper Type",
     .defaultItem = 1},
    {.key = "Flowcontrol",
     .control = "cbb_Flowcontrol",
     .kind = K::ItemText,
     .itemList = "Flow control",
     .defaultItem = 1},
    {.key = "calculate",
     .control = "rb_Minus",
     .kind = K::RadioPair,
     .defaultText = "1",
     .secondControl = "rb_Plus"},
    {.key = "WaitTime", .control = "edt_WaitTime", .kind = K::Text, .defaultText = "5"},
    {.key = "BluetoothSEEK",
     .control = "Cbx_Bluetooth",
     .kind = K::ItemText,
     .itemList = "Bluetooth SEEK",
     .defaultItem = 1},
    {.key = "Blacklookdistance",
     .control = "edt__Black_look_distance",
     .kind = K::Text,
     .defaultText = "400"},
    {.key = "Blackwidth", .control = "edt__Black_width", .kind = K::Text, .defaultText = "40"},
    {.key = "Cutteroptocoupler", .control = "edt_cutter_optocoupler", .kind = K::Text, .defaultText = "5"},
    {.key = "Printeropto", .control = "edt_2", .kind = K::Text, .defaultText = "5"},
    // How the download page turns pictures into logos, and whether it
    // reads downloads back.
    {.key = "LogoDither",
     .control = "cbb_Dither",
     .kind = K::ItemText,
     .itemList = "Dither Method",
     .defaultItem = 0},
    {.key = "LogoThreshold", .control = "edt_Threshold", .kind = K::Text, .defaultText = "128"},
    {.key = "LogoWidth", .control = "cbb_LogoWidth", .kind = K::ItemText, .itemList = "Logo Width", .defaultItem = 0},
    {.key = "DownloadVerify", .control = "chk_Verify", .kind = K::Bool, .defaultText = "0"},
}};

// The record's own keys, then those of the fields the setting groups
// describe with the record's default.
std::vector<ParaKey> everyKey()
{
    std::vector<ParaKey> keys(kOwnKeys.begin(), kOwnKeys.end());
    for (const SettingGroup& group : SettingGroups())
        for (const SettingField& field : group.fields)
            if (!field.recordDefault.empty())
                keys.push_back({.key = field.name, .control = field.control, .kind = K::Text,
                                .defaultText = field.recordDefault});
    return keys;
}

}  // namespace

std::span<const ParaKey> ParaKeyTable()
{
    static const std::vector<ParaKey> keys = everyKey();
    return keys;
}

std::string DefaultText(const ParaKey& key)
{
    if (key.itemList.empty())
        return std::string(key.defaultText);
    const std::vector<std::string> items = ItemList(key.itemList);
    const auto at = static_cast<std::size_t>(key.defaultItem);
    return at < items.size() ? items[at] : std::string();
}

ParaValues ReadParaRecord(const IniDocument& file)
{
    ParaValues values;
    values.reserve(ParaKeyTable().size());
    for (const ParaKey& key : ParaKeyTable())
        values.push_back(file.readString(kParaSection, key.key, DefaultText(key)));
    return values;
}

void WriteParaRecord(IniDocument& file, const ParaValues& values)
{
    for (std::size_t i = 0; i < ParaKeyTable().size(); ++i)
        file.writeString(kParaSection, ParaKeyTable()[i].key, i < values.size() ? values[i] : std::string());
}

std::string SaveParaRecord(const std::string& path, const ParaValues& values)
{
    return changeIniFile(path, [&](IniDocument& file) { WriteParaRecord(file, values); });
}

std::string SaveChangedParaRecord(const std::string& path, const ParaValues& loaded, const ParaValues& values)
{
    return changeIniFile(path, [&](IniDocument& file) {
        for (std::size_t i = 0; i < ParaKeyTable().size(); ++i) {
            const std::string value = i < values.size() ? values[i] : std::string();
            const bool changed = i >= loaded.size() || loaded[i] != value;
            if (changed || !file.value(kParaSection, ParaKeyTable()[i].key))
                file.writeString(kParaSection, ParaKeyTable()[i].key, value);
        }
    });
}

int ItemForText(const std::vector<std::string>& items, std::string_view text, bool translatable,
                const std::vector<std::vector<std::string>>& otherLanguages)
{
    for (std::size_t i = 0; i < items.size(); ++i)
        if (equalsIgnoringAsciiCase(items[i], text))
            return static_cast<int>(i);
    for (const auto& language : otherLanguages)
        for (std::size_t i = 0; i < language.size() && i < items.size(); ++i)
            if (equalsIgnoringAsciiCase(language[i], text))
                return static_cast<int>(i);
    return translatable && !items.empty() ? 0 : -1;
}

int StoredIndex(std::string_view text, int fallback)
{
    return strToIntDef(text, fallback);
}

int GroupSelection(int stored, int itemCount)
{
    if (stored < -1)
        return -1;
    return stored >= itemCount ? itemCount - 1 : stored;
}

std::optional<bool> RadioPairSecond(int stored)
{
    if (stored == 0)
        return false;
    if (stored == 1)
        return true;
    return std::nullopt;
}

}  // namespace pst::requests
