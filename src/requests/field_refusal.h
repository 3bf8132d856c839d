#pragma once
// Reading a typed setting strictly: the text must be what its field takes
// (see setting_ranges.h), or it is refused naming the field and what it
// takes. Nothing falls back to a default: a value the user did not see is
// never sent.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/input_error.h"
#include "requests/setting_ranges.h"

namespace pst::requests {

// A refusal that knows its field. what() names the field by its name
// without the window (the record's key), in the chosen language; a window
// names it by the control's caption instead (textFor).
class EFieldRefusal : public EInvalidInput {
public:
    explicit EFieldRefusal(const SettingField& field);

    const SettingField& field() const { return field_; }
    // "CAPTION: enter a whole number from A to B" and the like.
    std::string textFor(std::string_view caption) const;

private:
    SettingField field_;
};

// The field's number from `text`; EFieldRefusal unless it is written in the
// field's form (leading blanks, a sign and $ or 0x hexadecimal pass for a
// decimal field, as the strict conversion takes them) and lies in its range.
std::int32_t FieldValue(const SettingField& field, std::string_view text);
// A number already read (the command line's): EFieldRefusal outside the range.
std::int32_t FieldValue(const SettingField& field, std::int32_t value);

// `text` when it holds only digits, at most the field's number of them
// (none included); EFieldRefusal otherwise.
std::string_view FieldDigits(const SettingField& field, std::string_view text);

// A whole dotted address, "192.168.1.87": four decimal parts from 0 to 255
// and nothing else (no short or hexadecimal forms, which would configure
// another address than the one shown), and never 255.255.255.255.
bool IsWholeAddress(std::string_view text);
// The address's four bytes; EFieldRefusal unless IsWholeAddress.
std::array<std::uint8_t, 4> FieldAddress(const SettingField& field, std::string_view text);

}  // namespace pst::requests
