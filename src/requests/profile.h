#pragma once
// Profiles: the parameter record ("ParaDefault") of any INI file, so that a
// "sysconfig.ini" is a profile, read as groups of settings, one group per
// set button of the parameter window. A group is applied only when every
// one of its keys is in the file; list texts are matched in every language
// the program knows, so a profile written in one applies in the other.

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"
#include "requests/para_record.h"
#include "requests/request.h"

namespace pst::requests {

struct ProfileGroup {
    std::string_view name;  // as the command line names it
    std::span<const std::string_view> keys;
    // Changes how the printer is reached or what it is: applied only when
    // named (see GroupMustBeNamed).
    bool onlyWhenNamed = false;
    // When every one of these is empty the group sets nothing (a window
    // left with its names blank): see GroupIsEmpty.
    std::span<const std::string_view> namingKeys = {};
};

// Every group, in the parameter window's order.
std::span<const ProfileGroup> ProfileGroups();
const ProfileGroup* FindProfileGroup(std::string_view name);

class Profile {
public:
    // The "ParaDefault" section of `file`. Keys match without regard to case.
    static Profile read(const IniDocument& file);

    bool has(std::string_view key) const;
    // The key's text; empty when it is missing.
    std::string get(std::string_view key) const;
    // The section's keys that are no key of the record, as spelled there.
    const std::vector<std::string>& unknownKeys() const { return unknownKeys_; }
    // Every record key given with an empty value holds its default instead.
    Profile withDefaultsForEmptyValues() const;
    // The same profile with the key set to `value`.
    Profile withValue(std::string_view key, const std::string& value) const;

    // Whether every key of the group is in the profile / which are missing
    // of a group that has some but not all.
    bool holds(const ProfileGroup& group) const;
    std::vector<std::string> missingKeys(const ProfileGroup& group) const;

private:
    IniDocument file_;
    std::vector<std::string> unknownKeys_;
};

// Whether a group of this profile may be applied only when named: the baud
// rate, the product (name and serial number), the Ethernet address, and a
// WiFi station with a static address (every printer would get the same).
bool GroupMustBeNamed(const ProfileGroup& group, const Profile& profile);

// Whether the group is in the profile only as blank names (the Bluetooth
// names, the access point's or station's network name, the product's name
// and number, as a window leaves them untouched): it has nothing to send,
// and a whole "sysconfig.ini" applies without it.
bool GroupIsEmpty(const ProfileGroup& group, const Profile& profile);

// What the lists are matched against: the language files in `folders`
// besides the built-in texts.
struct ProfileLists {
    std::vector<std::string> languageFolders;
};

// The requests of one group, in the order its button sends them.
// `printerIndex` numbers the printers of one apply from 0: the product's
// serial number steps once per printer, up or down as the record's
// "calculate" says, as the window steps it after each printer. Throws
// EInvalidInput or EConvertError with the text a user is shown when a value
// cannot be sent as it stands.
std::vector<Request> GroupRequests(const ProfileGroup& group, const Profile& profile, const ProfileLists& lists,
                                   std::size_t printerIndex = 0);

// The serial number the product group gives printer `printerIndex`.
std::string SerialNumberFor(const Profile& profile, std::size_t printerIndex);

// Takes the serial numbers of `printers` printers from the profile file at
// `path`, under its lock (changeIniFile): the number the file holds now is
// the first, and the one after the block is written back before the lock is
// let go, so that applies run at once never give two printers the same
// number. `profile` is the file as read before; what comes back is it with
// the first number of the block, or the reason the file could not be
// changed (and nothing was taken).
struct SerialReservation {
    Profile profile;
    std::string error;
};
SerialReservation ReserveSerialNumbers(const std::string& path, const Profile& profile, std::size_t printers);

struct GroupCheck {
    const ProfileGroup* group = nullptr;
    bool present = false;                   // every key is there
    bool empty = false;                     // present, but nothing to send (GroupIsEmpty)
    std::vector<std::string> missingKeys;   // some but not all are
    std::string error;                      // why a present group cannot be sent
    // When one value was refused: its key, and the reason without the key.
    std::string refusedKey;
    std::string refusedReason;
};

// Every group the profile holds any key of, checked.
std::vector<GroupCheck> CheckProfile(const Profile& profile, const ProfileLists& lists);

// The parameter window's import: `current` with every value the profile
// holds in its place, and what the window could not make sense of: keys
// that are no setting, groups given in part, values a group cannot send.
// Empty values are taken as they are (the window writes them for fields
// left empty) and are no problem.
struct ImportProblem {
    enum class Kind { UnknownKey, IncompleteGroup, RefusedValue };
    Kind kind;
    std::vector<std::string> keys;  // the unknown key; the group's keys given; the refused key (if known)
    std::vector<std::string> missingKeys;  // the group's keys not given
    std::string reason;                    // why the value was refused
};
struct ImportedProfile {
    ParaValues values;
    std::vector<ImportProblem> problems;
};
ImportedProfile ImportProfile(const Profile& profile, const ParaValues& current, const ProfileLists& lists);

// The problems as the import's message lists them, one line each, in the
// chosen language; `captionOf` gives the caption of a record key's field
// (the key itself is shown when it gives none).
std::vector<std::string>
ImportProblemLines(const std::vector<ImportProblem>& problems,
                   const std::function<std::string(std::string_view key)>& captionOf);

// The parameter window's export: the whole record, as the window holds it,
// written atomically to `path` (replacing what was there). Returns an empty
// string on success, otherwise the reason.
std::string ExportProfile(const std::string& path, const ParaValues& values);

// The export's file name: `.ini` added when the name typed has no
// extension, so that the import's filter finds the file again.
std::string WithProfileExtension(const std::string& path);

}  // namespace pst::requests
