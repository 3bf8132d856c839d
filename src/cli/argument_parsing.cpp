#include "cli/argument_parsing.h"

#include <algorithm>

#include "platform/int_conversion.h"
#include "platform/text_compare.h"

namespace pst::cli {

namespace {

std::string spellingsOf(const ListNames& names)
{
    std::string text;
    for (std::size_t position = 0; position < names.size(); ++position) {
        if (names[position].empty())
            continue;
        if (!text.empty())
            text += ", ";
        text += "'" + names[position].front() + "'";
    }
    return text;
}

}  // namespace

Arguments::Arguments(std::vector<std::string> tokens)
    : tokens_(std::move(tokens)), taken_(tokens_.size(), false)
{
}

std::optional<std::string> Arguments::option(std::string_view name)
{
    const std::string bare = "--" + std::string(name);
    const std::string withValue = bare + "=";
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (taken_[i])
            continue;
        if (tokens_[i].rfind(withValue, 0) == 0) {
            taken_[i] = true;
            return tokens_[i].substr(withValue.size());
        }
        if (tokens_[i] == bare) {
            if (i + 1 >= tokens_.size() || taken_[i + 1])
                throw UsageError(bare + " needs a value");
            taken_[i] = taken_[i + 1] = true;
            return tokens_[i + 1];
        }
    }
    return std::nullopt;
}

std::vector<std::string> Arguments::everyOption(std::string_view name)
{
    std::vector<std::string> values;
    while (auto value = option(name))
        values.push_back(std::move(*value));
    return values;
}

std::string Arguments::requiredOption(std::string_view name)
{
    auto value = option(name);
    if (!value)
        throw UsageError("--" + std::string(name) + " is required");
    return *value;
}

bool Arguments::flag(std::string_view name)
{
    const std::string bare = "--" + std::string(name);
    bool found = false;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (!taken_[i] && tokens_[i] == bare) {
            taken_[i] = true;
            found = true;
        }
    }
    return found;
}

std::string Arguments::positional(std::string_view what)
{
    auto value = optionalPositional();
    if (!value)
        throw UsageError(std::string(what) + " is missing");
    return *value;
}

std::optional<std::string> Arguments::optionalPositional()
{
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (!taken_[i] && tokens_[i].rfind("--", 0) != 0) {
            taken_[i] = true;
            return tokens_[i];
        }
    }
    return std::nullopt;
}

void Arguments::finish() const
{
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (taken_[i])
            continue;
        if (tokens_[i].rfind("--", 0) == 0)
            throw UsageError("unknown option " + tokens_[i].substr(0, tokens_[i].find('=')));
        throw UsageError("unexpected argument '" + tokens_[i] + "'");
    }
}

int parseListChoice(std::string_view value, std::string_view what, const ListNames& names)
{
    std::vector<int> matches;
    for (std::size_t position = 0; position < names.size(); ++position) {
        for (const std::string& name : names[position]) {
            if (equalsIgnoringAsciiCase(name, value)) {
                matches.push_back(static_cast<int>(position));
                break;
            }
        }
    }
    if (matches.size() == 1)
        return matches.front();
    if (matches.size() > 1)
        throw UsageError("'" + std::string(value) + "' names several " + std::string(what) +
                         " items; give the position instead");
    if (const auto position = parseInt32(value);
        position && *position >= 0 && *position < static_cast<std::int32_t>(names.size()))
        return *position;
    throw UsageError("unknown " + std::string(what) + " '" + std::string(value) + "'; choose " +
                     spellingsOf(names) + " or a position from 0 to " + std::to_string(names.size() - 1));
}

bool parseOnOff(std::string_view value, std::string_view what)
{
    for (std::string_view on : {"on", "yes", "true", "1"})
        if (equalsIgnoringAsciiCase(value, on))
            return true;
    for (std::string_view off : {"off", "no", "false", "0"})
        if (equalsIgnoringAsciiCase(value, off))
            return false;
    throw UsageError(std::string(what) + " takes on or off, not '" + std::string(value) + "'");
}

std::int32_t parseNumber(std::string_view value)
{
    return strToInt(value);
}

std::int32_t parseNumberInRange(std::string_view value, std::string_view what, std::int32_t min,
                                std::int32_t max)
{
    const std::int32_t number = strToInt(value);
    if (number < min || number > max)
        throw UsageError(std::string(what) + " must be from " + std::to_string(min) + " to " +
                         std::to_string(max));
    return number;
}

std::int32_t parseDigits(std::string_view value, std::string_view what, std::size_t maxDigits)
{
    const bool digitsOnly = !value.empty() && value.size() <= maxDigits &&
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly)
        throw UsageError(std::string(what) + " takes a whole number of at most " + std::to_string(maxDigits) +
                         " digits, not '" + std::string(value) + "'");
    return strToInt(value);
}

}  // namespace pst::cli
