#pragma once
// Reading a command's own arguments the way a user types them: options as
// "--name value" or "--name=value", flags as "--name", list items by their
// text or their position, switches as on/off.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pst::cli {

// The command line itself is wrong (exit status 2, with a hint to --help).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command's arguments, taken one by one; whatever is left over when the
// command is done is an error (finish()). Take options and flags before
// positional arguments, so that an option's value is never read as one.
// A "--" ends the options: every word after it is positional.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> tokens);

    std::optional<std::string> option(std::string_view name);
    std::string requiredOption(std::string_view name);
    // Every value of an option given more than once, in the order given.
    std::vector<std::string> everyOption(std::string_view name);
    bool flag(std::string_view name);
    std::string positional(std::string_view what);
    std::optional<std::string> optionalPositional();
    // Throws UsageError naming the first argument nobody took.
    void finish() const;

private:
    std::vector<std::string> tokens_;
    std::vector<bool> taken_;
    std::size_t optionsEnd_ = 0;  // the position of "--", or the end
};

// The accepted spellings of each item of a list, position by position.
using ListNames = std::vector<std::vector<std::string>>;

// The position `value` names: one of the spellings (without regard to case;
// a spelling shared by several items is refused as ambiguous), or else a
// whole number that is a position of the list.
int parseListChoice(std::string_view value, std::string_view what, const ListNames& names);

// on/off, yes/no, true/false, 1/0.
bool parseOnOff(std::string_view value, std::string_view what);

// A strict whole number (the window's strict conversion and its message);
// then, when given, the range check with a message naming `what`.
std::int32_t parseNumber(std::string_view value);
std::int32_t parseNumberInRange(std::string_view value, std::string_view what, std::int32_t min,
                                std::int32_t max);

// Only the digits 0 to 9 (what a digits-only edit lets through), at most
// `maxDigits` of them; refuses anything else with a message naming `what`.
std::int32_t parseDigits(std::string_view value, std::string_view what, std::size_t maxDigits);

}  // namespace pst::cli
