#pragma once
// A setting group described once: its fields (record keys, the window's
// controls and captions, the command line's names, ranges and lists), the
// operation that carries it and the payload's layout, the window's button,
// the command line's command and help, and the profile group. The parameter
// window, the command line, profiles and help all read the same
// description; a new group is its entry in setting_groups.cpp, a place on
// its page and its texts.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "requests/request.h"
#include "requests/setting_ranges.h"

namespace pst::requests {

// How each front end reads a group's fields: the window from its controls,
// the command line from its arguments, a profile from its keys. A value the
// front end cannot take is refused naming the field as that front end
// shows it; nothing is replaced by a default.
class FieldReader {
public:
    virtual ~FieldReader() = default;
    // A number in the field's range.
    virtual std::int32_t number(const SettingField& field) = 0;
    // The text as typed.
    virtual std::string text(const SettingField& field) = 0;
    // The position chosen in the field's list; kNoSelection for none.
    virtual int position(const SettingField& field) = 0;
    virtual bool onOff(const SettingField& field) = 0;
};

// One part of the payload: a field's number, little-endian, in `bytes`
// bytes (the low ones of the number).
struct PayloadPart {
    std::size_t field = 0;
    std::size_t bytes = 1;
};

// The command line's help for a group's command, in English (the language
// files hold it in each language under the command's name). Empty for a
// group whose command the command line's own table describes.
struct CliHelp {
    std::string_view arguments;  // one line, for the command list
    std::string_view summary;
    std::string_view details;
    std::string_view sends;
    std::string_view example;  // the words after "pennafor-cli"
};

struct SettingGroup;
// Most groups are one request; the black-mark group sends one per value.
using GroupBuild = std::vector<Request> (*)(const SettingGroup& group, FieldReader& reader);

struct SettingGroup {
    // The profile group's name (the word "apply --groups" takes).
    std::string_view name;
    // The operation that carries the group; where the value chooses one of
    // two operations (flow control, Bluetooth hiding), the first of them.
    Operation operation = Operation::LinkTest;
    std::span<const SettingField> fields;
    // The parameter window's button that sends the group.
    std::string_view button;
    // The payload's layout; empty when `build` lays it out itself.
    std::span<const PayloadPart> payload;
    // Builds the requests from the fields; null for a group of numbers sent
    // as `payload` lays them out.
    GroupBuild build = nullptr;
    // Whether the printer answers the packet (false: bytes sent bare).
    bool confirmed = true;
    // Whether the main window's link choice is copied in first.
    bool refreshConnection = false;
    // The page works the request out itself (a choice of three states, or
    // a button per field); otherwise the window reads the fields from the
    // controls the description names.
    bool pageBuildsRequest = false;
    // The command line's command that sends it (its help is the command
    // table's and the language files').
    std::string_view cliCommand;
    CliHelp cliHelp = {};
    // A profile applies the group only when it is named (a setting that
    // differs from printer to printer, or moves the printer's link).
    bool namedOnly = false;
    // Keys of which one at least must hold a text for the group to be sent.
    std::span<const std::string_view> nameKeys;
};

// Every group, in the parameter window's order.
std::span<const SettingGroup> SettingGroups();
const SettingGroup* FindSettingGroup(std::string_view name);

// The group's requests from the values `reader` gives; none when a list
// of it has no selection.
std::vector<Request> GroupRequests(const SettingGroup& group, FieldReader& reader);

// The items of a fixed list (named by a field's `itemList`); empty for a
// translatable list, whose items the language files hold.
std::span<const std::string_view> FixedListItems(std::string_view list);

}  // namespace pst::requests
