#include "requests/profile.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "platform/text_compare.h"
#include "protocol/value_mappings.h"
#include "requests/field_refusal.h"
#include "requests/para_record.h"
#include "requests/raw_requests.h"
#include "requests/setting_group.h"
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

int fixedItem(const Profile& profile, std::string_view key, std::span<const std::string_view> items)
{
    const std::string text = profile.get(key);
    for (std::size_t i = 0; i < items.size(); ++i)
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

// A group's fields as the profile holds them. Lists take their item texts
// (a translatable one's in any language the program knows), check boxes and
// radio pairs 1 or 0, radio groups their position; typed numbers are the
// builders' to check, as the window's are.
class ProfileFieldReader final : public FieldReader {
public:
    ProfileFieldReader(const Profile& profile, const ProfileLists& lists, std::size_t printerIndex)
        : profile_(profile), lists_(lists), printerIndex_(printerIndex)
    {
    }

    std::int32_t number(const SettingField& field) override
    {
        return FieldValue(field, profile_.get(field.name));
    }

    std::string text(const SettingField& field) override
    {
        // Each printer takes the next serial number.
        if (field.name == "DeviceSerialNo")
            return SerialNumberFor(profile_, printerIndex_);
        return profile_.get(field.name);
    }

    int position(const SettingField& field) override
    {
        if (const auto items = FixedListItems(field.itemList); !items.empty())
            return fixedItem(profile_, field.name, items);
        if (!field.itemList.empty())
            return translatedItem(profile_, field.name, field.itemList, lists_);
        return pst::requests::number(profile_, field.name);
    }

    bool onOff(const SettingField& field) override { return pst::requests::onOff(profile_, field.name); }

private:
    const Profile& profile_;
    const ProfileLists& lists_;
    std::size_t printerIndex_;
};

bool isRecordKey(std::string_view name)
{
    const auto keys = ParaKeyTable();
    return std::any_of(keys.begin(), keys.end(),
                       [&](const ParaKey& key) { return equalsIgnoringAsciiCase(key.key, name); });
}

}  // namespace

std::span<const ProfileGroup> ProfileGroups()
{
    // The keys of each group, kept for as long as the groups are.
    static const std::vector<std::vector<std::string_view>> keys = [] {
        std::vector<std::vector<std::string_view>> all;
        for (const SettingGroup& group : SettingGroups()) {
            all.emplace_back();
            for (const SettingField& field : group.fields)
                all.back().push_back(field.name);
        }
        return all;
    }();
    static const std::vector<ProfileGroup> groups = [] {
        std::vector<ProfileGroup> all;
        std::size_t i = 0;
        for (const SettingGroup& group : SettingGroups())
            all.push_back({group.name, keys[i++], group.namedOnly, group.nameKeys});
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
    ProfileFieldReader reader(profile, lists, printerIndex);
    return GroupRequests(*FindSettingGroup(group.name), reader);
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
