#include "requests/profile.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "platform/text_compare.h"
#include "protocol/value_mappings.h"
#include "requests/para_record.h"
#include "requests/raw_requests.h"
#include "requests/settings_requests.h"
#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"
#include "texts/translation.h"

namespace pst::requests {

namespace {

// --- Reading values strictly: a profile value that is not what its control
// could hold is refused, never replaced by a default. The typed numbers are
// the builders' to check, as the window's are (each refusal names the key).

// A value refused by its key: the command line names the key, the window
// the key's field.
class ERefusedValue : public EInvalidInput {
public:
    ERefusedValue(std::string_view key, const std::string& reason)
        : EInvalidInput(RefusalInField(std::string(key), reason)), key_(key), reason_(reason)
    {
    }
    const std::string& key() const { return key_; }
    const std::string& reason() const { return reason_; }

private:
    std::string key_;
    std::string reason_;
};

[[noreturn]] void refuseValue(std::string_view key, const std::string& why)
{
    throw ERefusedValue(key, why);
}

std::int32_t number(const Profile& profile, std::string_view key)
{
    const std::string text = profile.get(key);
    const auto value = parseInt32(text);
    if (!value)
        refuseValue(key, InputRefusalText(EConvertError::forText(text)));
    return *value;
}

std::int32_t numberInRange(const Profile& profile, std::string_view key, std::int32_t lowest, std::int32_t highest)
{
    const std::int32_t value = number(profile, key);
    if (value < lowest || value > highest)
        refuseValue(key, MessageWithNumbers("sRangeMsg", {value, lowest, highest}));
    return value;
}

bool onOff(const Profile& profile, std::string_view key)
{
    return numberInRange(profile, key, 0, 1) == 1;
}

template <std::size_t N> int fixedItem(const Profile& profile, std::string_view key,
                                       const std::array<std::string_view, N>& items)
{
    const std::string text = profile.get(key);
    for (std::size_t i = 0; i < N; ++i)
        if (equalsIgnoringAsciiCase(items[i], text))
            return static_cast<int>(i);
    refuseValue(key, MessageWithText("sNotAnItemMsg", text));
}

// A translatable list's position: the text in any language the program knows.
int translatedItem(const Profile& profile, std::string_view key, std::string_view section,
                   const ProfileLists& lists)
{
    const std::string text = profile.get(key);
    for (const auto& language : texts::itemListInEveryLanguage(section, lists.languageFolders))
        for (std::size_t i = 0; i < language.size(); ++i)
            if (equalsIgnoringAsciiCase(language[i], text))
                return static_cast<int>(i);
    refuseValue(key, MessageWithText("sNotAnItemMsg", text));
}

std::vector<Request> one(Request request)
{
    return {std::move(request)};
}

std::vector<Request> one(MaybeRequest request)
{
    // Every position read above is a real item, so every builder gives one.
    return request ? std::vector<Request>{std::move(*request)} : std::vector<Request>{};
}

// --- The groups -----------------------------------------------------------

using Build = std::vector<Request> (*)(const Profile&, const ProfileLists&, std::size_t printerIndex);

struct GroupEntry {
    ProfileGroup group;
    Build build;
};

constexpr std::array<std::string_view, 1> kBaudRateKeys{"BaudRate"};
constexpr std::array<std::string_view, 1> kFlowControlKeys{"Flowcontrol"};
constexpr std::array<std::string_view, 1> kCodePageKeys{"CodePage"};
constexpr std::array<std::string_view, 5> kSwitchKeys{"Dark", "FontValue", "CutPaper", "buzzer", "ForcePaper"};
constexpr std::array<std::string_view, 2> kSleepKeys{"sleepTime", "poweroffTime"};
constexpr std::array<std::string_view, 6> kBluetoothKeys{"BlueToolthName", "MulBlueToolthName", "BlueToolthPsw",
                                                         "BlueToolthType", "BlueToolthMode", "BlueToolthCheck"};
constexpr std::array<std::string_view, 1> kBluetoothWorkModeKeys{"BlueToolthWorkMode"};
constexpr std::array<std::string_view, 7> kStationKeys{"SSID",        "StaModePsw",     "IpType", "IPaddress",
                                                       "Maskaddress", "Gatewayaddress", "Port"};
constexpr std::array<std::string_view, 2> kAccessPointKeys{"NetworkName", "NetworkPsw"};
constexpr std::array<std::string_view, 3> kInfraredKeys{"InfraredBaurate", "InfraredType", "irdaProtecl"};
constexpr std::array<std::string_view, 1> kEthernetKeys{"NetIPAddress"};
constexpr std::array<std::string_view, 3> kBlackMarkKeys{"Blacklookdistance", "Blackwidth", "Cutteroptocoupler"};
constexpr std::array<std::string_view, 2> kProductKeys{"DeviceName", "DeviceSerialNo"};
constexpr std::array<std::string_view, 1> kUsbTypeKeys{"UsbDeviceTpe"};
constexpr std::array<std::string_view, 1> kPaperTypeKeys{"PaperType"};
constexpr std::array<std::string_view, 1> kPrintOrderKeys{"PrinterOrder"};
constexpr std::array<std::string_view, 1> kRecyclingKeys{"RptTime"};
constexpr std::array<std::string_view, 1> kBluetoothHidingKeys{"BluetoothSEEK"};

constexpr std::array<std::string_view, 2> kBluetoothNames{"BlueToolthName", "MulBlueToolthName"};
constexpr std::array<std::string_view, 1> kStationName{"SSID"};
constexpr std::array<std::string_view, 1> kAccessPointName{"NetworkName"};
constexpr std::array<std::string_view, 2> kProductNames{"DeviceName", "DeviceSerialNo"};

std::vector<Request> baudRate(const Profile& p, const ProfileLists&, std::size_t)
{
    return one(BaudRateRequest(fixedItem(p, "BaudRate", kBaudRateItems)));
}

std::vector<Request> flowControl(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return one(FlowControlRequest(translatedItem(p, "Flowcontrol", "Flow control", lists)));
}

std::vector<Request> codePage(const Profile& p, const ProfileLists&, std::size_t)
{
    return one(CodePageRequest(fixedItem(p, "CodePage", kCodePageItems)));
}

std::vector<Request> switches(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return one(SwitchOptionsRequest(translatedItem(p, "Dark", "Dark description", lists),
                                    fixedItem(p, "FontValue", kFontItems), onOff(p, "CutPaper"),
                                    onOff(p, "buzzer"), fixedItem(p, "ForcePaper", kPaperFeedItems)));
}

std::vector<Request> sleepTimes(const Profile& p, const ProfileLists&, std::size_t)
{
    return one(SleepTimesRequest(p.get("sleepTime"), p.get("poweroffTime")));
}

std::vector<Request> bluetooth(const Profile& p, const ProfileLists&, std::size_t)
{
    BluetoothParameters parameters;
    parameters.name = p.get("BlueToolthName");
    parameters.dualModeName = p.get("MulBlueToolthName");
    parameters.password = p.get("BlueToolthPsw");
    parameters.moduleTypeText = p.get("BlueToolthType");
    parameters.modePosition = number(p, "BlueToolthMode");
    parameters.passwordCheckPosition = number(p, "BlueToolthCheck");
    return one(BluetoothRequest(parameters));
}

std::vector<Request> bluetoothWorkMode(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return one(BluetoothWorkModeRequest(translatedItem(p, "BlueToolthWorkMode", "BlueToolth WorkMode", lists)));
}

std::vector<Request> wifiStation(const Profile& p, const ProfileLists&, std::size_t)
{
    WifiStationParameters parameters;
    parameters.ssid = p.get("SSID");
    parameters.password = p.get("StaModePsw");
    // The record keeps the pair's second button (static) as 1.
    parameters.addressing = onOff(p, "IpType") ? WifiAddressing::Static : WifiAddressing::Dynamic;
    parameters.ipAddress = p.get("IPaddress");
    parameters.mask = p.get("Maskaddress");
    parameters.gateway = p.get("Gatewayaddress");
    parameters.portText = p.get("Port");
    return one(StationRequest(parameters));
}

std::vector<Request> wifiAccessPoint(const Profile& p, const ProfileLists&, std::size_t)
{
    return one(AccessPointRequest(p.get("NetworkName"), p.get("NetworkPsw")));
}

std::vector<Request> infrared(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return one(InfraredRequest(fixedItem(p, "InfraredBaurate", kInfraredSpeedItems), onOff(p, "InfraredType"),
                               translatedItem(p, "irdaProtecl", "irda Protecl", lists)));
}

std::vector<Request> ethernet(const Profile& p, const ProfileLists&, std::size_t)
{
    return one(EthernetAddressRequest(EthernetField::IpAddress, p.get("NetIPAddress")));
}

std::vector<Request> blackMark(const Profile& p, const ProfileLists&, std::size_t)
{
    return {BlackMarkDistanceRequest(p.get("Blacklookdistance")), BlackMarkWidthRequest(p.get("Blackwidth")),
            FeedAfterMarkRequest(p.get("Cutteroptocoupler"))};
}

std::vector<Request> product(const Profile& p, const ProfileLists&, std::size_t printerIndex)
{
    return one(ProductRequest(p.get("DeviceName"), SerialNumberFor(p, printerIndex)));
}

std::vector<Request> interfaceOption(const Profile& p, const ProfileLists& lists, InterfaceOption option,
                                     std::string_view key, std::string_view section)
{
    return one(InterfaceOptionRequest(option, translatedItem(p, key, section, lists)));
}

std::vector<Request> usbType(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return interfaceOption(p, lists, InterfaceOption::UsbDeviceType, "UsbDeviceTpe", "USB Device Type");
}

std::vector<Request> paperType(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return interfaceOption(p, lists, InterfaceOption::PaperType, "PaperType", "Paper Type");
}

std::vector<Request> printOrder(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return interfaceOption(p, lists, InterfaceOption::PrintOrder, "PrinterOrder", "Printer Order");
}

std::vector<Request> recyclingTime(const Profile& p, const ProfileLists&, std::size_t)
{
    return one(RecyclingTimeRequest(p.get("RptTime")));
}

std::vector<Request> bluetoothHiding(const Profile& p, const ProfileLists& lists, std::size_t)
{
    return one(BluetoothHidingRequest(translatedItem(p, "BluetoothSEEK", "Bluetooth SEEK", lists)));
}

const std::array<GroupEntry, 18> kGroups{{
    {{"baudrate", kBaudRateKeys, true}, &baudRate},
    {{"flowcontrol", kFlowControlKeys}, &flowControl},
    {{"codepage", kCodePageKeys}, &codePage},
    {{"switches", kSwitchKeys}, &switches},
    {{"sleep", kSleepKeys}, &sleepTimes},
    {{"bluetooth", kBluetoothKeys, false, kBluetoothNames}, &bluetooth},
    {{"bluetooth-workmode", kBluetoothWorkModeKeys}, &bluetoothWorkMode},
    {{"wifi-sta", kStationKeys, false, kStationName}, &wifiStation},
    {{"wifi-ap", kAccessPointKeys, false, kAccessPointName}, &wifiAccessPoint},
    {{"infrared", kInfraredKeys}, &infrared},
    {{"ethernet", kEthernetKeys, true}, &ethernet},
    {{"blackmark", kBlackMarkKeys}, &blackMark},
    {{"product", kProductKeys, true, kProductNames}, &product},
    {{"usbtype", kUsbTypeKeys}, &usbType},
    {{"papertype", kPaperTypeKeys}, &paperType},
    {{"printorder", kPrintOrderKeys}, &printOrder},
    {{"recycletime", kRecyclingKeys}, &recyclingTime},
    {{"bluetooth-hide", kBluetoothHidingKeys}, &bluetoothHiding},
}};

const GroupEntry& entryOf(const ProfileGroup& group)
{
    for (const GroupEntry& entry : kGroups)
        if (entry.group.name == group.name)
            return entry;
    throw std::logic_error("not a profile group");
}

bool isRecordKey(std::string_view name)
{
    const auto keys = ParaKeyTable();
    return std::any_of(keys.begin(), keys.end(),
                       [&](const ParaKey& key) { return equalsIgnoringAsciiCase(key.key, name); });
}

}  // namespace

std::span<const ProfileGroup> ProfileGroups()
{
    static const std::vector<ProfileGroup> groups = [] {
        std::vector<ProfileGroup> all;
        for (const GroupEntry& entry : kGroups)
            all.push_back(entry.group);
        return all;
    }();
    return groups;
}

const ProfileGroup* FindProfileGroup(std::string_view name)
{
    for (const ProfileGroup& group : ProfileGroups())
        if (group.name == name)
            return &group;
    return nullptr;
}

Profile Profile::read(const IniDocument& file)
{
    Profile profile;
    profile.file_ = file;
    for (std::string& key : file.keys(kParaSection))
        if (!isRecordKey(key))
            profile.unknownKeys_.push_back(std::move(key));
    return profile;
}

bool Profile::has(std::string_view key) const
{
    return file_.value(kParaSection, key).has_value();
}

std::string Profile::get(std::string_view key) const
{
    return file_.readString(kParaSection, key, "");
}

bool Profile::holds(const ProfileGroup& group) const
{
    return std::all_of(group.keys.begin(), group.keys.end(), [&](std::string_view key) { return has(key); });
}

std::vector<std::string> Profile::missingKeys(const ProfileGroup& group) const
{
    std::vector<std::string> missing;
    for (const std::string_view key : group.keys)
        if (!has(key))
            missing.emplace_back(key);
    return missing;
}

bool GroupMustBeNamed(const ProfileGroup& group, const Profile& profile)
{
    if (group.onlyWhenNamed)
        return true;
    return group.name == "wifi-sta" && profile.get("IpType") != "0";
}

bool GroupIsEmpty(const ProfileGroup& group, const Profile& profile)
{
    return !group.namingKeys.empty() &&
        std::all_of(group.namingKeys.begin(), group.namingKeys.end(),
                    [&](std::string_view key) { return profile.get(key).empty(); });
}

std::string SerialNumberFor(const Profile& profile, std::size_t printerIndex)
{
    std::string serial = profile.get("DeviceSerialNo");
    // The window's "calculate" pair: 0 counts down, 1 (and a missing key) up.
    const bool minus = profile.has("calculate") && profile.get("calculate") == "0";
    for (std::size_t i = 0; i < printerIndex; ++i) {
        const auto next = SteppedSerialNumber(serial, minus, !minus);
        if (!next)
            break;
        serial = *next;
    }
    return serial;
}

std::vector<Request> GroupRequests(const ProfileGroup& group, const Profile& profile, const ProfileLists& lists,
                                   std::size_t printerIndex)
{
    return entryOf(group).build(profile, lists, printerIndex);
}

std::vector<GroupCheck> CheckProfile(const Profile& profile, const ProfileLists& lists)
{
    std::vector<GroupCheck> checks;
    for (const ProfileGroup& group : ProfileGroups()) {
        GroupCheck check;
        check.group = &group;
        check.missingKeys = profile.missingKeys(group);
        check.present = check.missingKeys.empty();
        if (!check.present && check.missingKeys.size() == group.keys.size())
            continue;  // none of its keys: not in this profile
        check.empty = check.present && GroupIsEmpty(group, profile);
        if (check.present && !check.empty) {
            try {
                GroupRequests(group, profile, lists);
            } catch (const ERefusedValue& refusal) {
                check.error = refusal.what();
                check.refusedKey = refusal.key();
                check.refusedReason = refusal.reason();
            } catch (const EInvalidInput& refusal) {
                check.error = InputRefusalText(refusal);
            } catch (const EConvertError& refusal) {
                check.error = InputRefusalText(refusal);
            } catch (const std::exception& refusal) {
                check.error = refusal.what();
            }
        }
        checks.push_back(std::move(check));
    }
    return checks;
}

Profile Profile::withDefaultsForEmptyValues() const
{
    Profile filled = *this;
    for (const ParaKey& key : ParaKeyTable())
        if (has(key.key) && get(key.key).empty())
            filled.file_.writeString(kParaSection, key.key, DefaultText(key));
    return filled;
}

Profile Profile::withValue(std::string_view key, const std::string& value) const
{
    Profile changed = *this;
    changed.file_.writeString(kParaSection, key, value);
    return changed;
}

SerialReservation ReserveSerialNumbers(const std::string& path, const Profile& profile, std::size_t printers)
{
    SerialReservation reservation{profile, {}};
    reservation.error = changeIniFile(path, [&](IniDocument& file) {
        const Profile now = Profile::read(file);
        if (now.has("DeviceSerialNo"))
            reservation.profile = profile.withValue("DeviceSerialNo", now.get("DeviceSerialNo"));
        file.writeString(kParaSection, "DeviceSerialNo", SerialNumberFor(reservation.profile, printers));
    });
    if (!reservation.error.empty())
        reservation.profile = profile;
    return reservation;
}

ImportedProfile ImportProfile(const Profile& profile, const ParaValues& current, const ProfileLists& lists)
{
    ImportedProfile imported{current, {}};
    const auto keys = ParaKeyTable();
    imported.values.resize(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (profile.has(keys[i].key))
            imported.values[i] = profile.get(keys[i].key);
    for (const std::string& key : profile.unknownKeys())
        imported.problems.push_back({ImportProblem::Kind::UnknownKey, {key}, {}, {}});
    // An empty value goes into its field as it is, as the window itself
    // keeps an emptied field: only what the fields could not hold is told.
    const Profile checked = profile.withDefaultsForEmptyValues();
    for (const GroupCheck& check : CheckProfile(checked, lists)) {
        if (!check.missingKeys.empty()) {
            ImportProblem problem{ImportProblem::Kind::IncompleteGroup, {}, check.missingKeys, {}};
            for (const std::string_view key : check.group->keys)
                if (profile.has(key))
                    problem.keys.emplace_back(key);
            imported.problems.push_back(std::move(problem));
        } else if (!check.refusedKey.empty()) {
            imported.problems.push_back(
                {ImportProblem::Kind::RefusedValue, {check.refusedKey}, {}, check.refusedReason});
        } else if (!check.error.empty()) {
            imported.problems.push_back({ImportProblem::Kind::RefusedValue, {}, {}, check.error});
        }
    }
    return imported;
}

std::vector<std::string> ImportProblemLines(const std::vector<ImportProblem>& problems,
                                            const std::function<std::string(std::string_view key)>& captionOf)
{
    auto named = [&](const std::vector<std::string>& keys) {
        std::string names;
        for (const std::string& key : keys) {
            const std::string caption = captionOf(key);
            names += (names.empty() ? "" : ", ") + (caption.empty() ? key : caption);
        }
        return names;
    };
    std::vector<std::string> lines;
    for (const ImportProblem& problem : problems) {
        switch (problem.kind) {
        case ImportProblem::Kind::UnknownKey:
            // No field of the window: the key is all there is to name.
            lines.push_back(RefusalInField(MessageText("sUnknownKeyMsg"), named(problem.keys)));
            break;
        case ImportProblem::Kind::IncompleteGroup:
            lines.push_back(RefusalInField(
                named(problem.keys), MessageText("sIncompleteGroupMsg") + " " + named(problem.missingKeys)));
            break;
        case ImportProblem::Kind::RefusedValue:
            lines.push_back(RefusalInField(named(problem.keys), problem.reason));
            break;
        }
    }
    return lines;
}

std::string ExportProfile(const std::string& path, const ParaValues& values)
{
    // The whole file is replaced, but under its lock all the same: an apply
    // taking serial numbers from it must not write its old content back.
    return changeIniFile(path, [&](IniDocument& file) {
        file = IniDocument();
        WriteParaRecord(file, values);
    });
}

std::string WithProfileExtension(const std::string& path)
{
    const std::size_t nameStart = path.find_last_of("/\\");
    const std::string_view name =
        std::string_view(path).substr(nameStart == std::string::npos ? 0 : nameStart + 1);
    // A leading dot makes a hidden name, not an extension.
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? path + ".ini" : path;
}

}  // namespace pst::requests
