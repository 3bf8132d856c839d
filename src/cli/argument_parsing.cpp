#include "cli/argument_parsing.h"

#include <algorithm>

#include "platform/int_conversion.h"
#include "platform/text_compare.h"
#include "texts/message_texts.h"

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
    // After "--" every word is a positional one, whatever it starts with.
    const auto end = std::find(tokens_.begin(), tokens_.end(), "--");
    optionsEnd_ = static_cast<std::size_t>(end - tokens_.begin());
    if (optionsEnd_ < tokens_.size())
        taken_[optionsEnd_] = true;
}

std::optional<std::string> Arguments::option(std::string_view name)
{
    const std::string bare = "--" + std::string(name);
    const std::string withValue = bare + "=";
    for (std::size_t i = 0; i < optionsEnd_; ++i) {
        if (taken_[i])
            continue;
        if (tokens_[i].rfind(withValue, 0) == 0) {
            taken_[i] = true;
            return tokens_[i].substr(withValue.size());
        }
        if (tokens_[i] == bare) {
            if (i + 1 >= optionsEnd_ || taken_[i + 1])
                throw UsageError(MessageWithValues("sNeedsValueMsg", {bare}));
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
        throw UsageError(MessageWithValues("sRequiredOptionMsg", {"--" + std::string(name)}));
    return *value;
}

bool Arguments::flag(std::string_view name)
{
    const std::string bare = "--" + std::string(name);
    bool found = false;
    for (std::size_t i = 0; i < optionsEnd_; ++i) {
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
        throw UsageError(MessageWithValues("sMissingArgumentMsg", {std::string(what)}));
    return *value;
}

std::optional<std::string> Arguments::optionalPositional()
{
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        if (!taken_[i] && (i > optionsEnd_ || tokens_[i].rfind("--", 0) != 0)) {
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
        if (i < optionsEnd_ && tokens_[i].rfind("--", 0) == 0)
            throw UsageError(MessageWithValues("sUnknownOptionMsg", {tokens_[i].substr(0, tokens_[i].find('='))}));
        throw UsageError(MessageWithValues("sUnexpectedArgumentMsg", {tokens_[i]}));
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
        throw UsageError(MessageWithValues("sAmbiguousItemMsg", {std::string(what), std::string(value)}));
    if (const auto position = parseInt32(value);
        position && *position >= 0 && *position < static_cast<std::int32_t>(names.size()))
        return *position;
    throw UsageError(MessageWithValues("sNotAnItemChoiceMsg", {std::string(what), std::string(value), spellingsOf(names),
                                                                std::to_string(names.size() - 1)}));
}

bool parseOnOff(std::string_view value, std::string_view what)
{
    for (std::string_view on : {"on", "yes", "true", "1"})
        if (equalsIgnoringAsciiCase(value, on))
            return true;
    for (std::string_view off : {"off", "no", "false", "0"})
        if (equalsIgnoringAsciiCase(value, off))
            return false;
    throw UsageError(MessageWithValues("sOnOffMsg", {std::string(what), std::string(value)}));
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
        throw UsageError(
            MessageWithValues("sOptionRangeMsg", {std::string(what), std::to_string(min), std::to_string(max)}));
    return number;
}

std::int32_t parseDigits(std::string_view value, std::string_view what, std::size_t maxDigits)
{
    const bool digitsOnly = !value.empty() && value.size() <= maxDigits &&
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly)
        throw UsageError(MessageWithValues("sDigitsOptionMsg",
                                           {std::string(what), std::to_string(maxDigits), std::string(value)}));
    return strToInt(value);
}

}  // namespace pst::cli
