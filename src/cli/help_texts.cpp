#include "cli/help_texts.h"

#include <map>

namespace pst::cli {

namespace {

// Filled once, before the command runs, and only read after.
std::map<std::string, std::string, std::less<>>& loadedTexts()
{
    static std::map<std::string, std::string, std::less<>> texts;
    return texts;
}

}  // namespace

void setHelpText(std::string_view key, std::string text)
{
    loadedTexts().insert_or_assign(std::string(key), std::move(text));
}

std::string helpText(std::string_view key, std::string_view builtIn)
{
    const auto& texts = loadedTexts();
    const auto found = texts.find(key);
    return found != texts.end() ? found->second : std::string(builtIn);
}

std::string helpValueFromFile(std::string_view value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else
            text += value[i];
    }
    return text;
}

}  // namespace pst::cli
