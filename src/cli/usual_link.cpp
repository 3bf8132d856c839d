#include "cli/usual_link.h"

#include "engine/link_kinds.h"
#include "texts/main_defaults.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

std::string fileSource(std::string_view key)
{
    return std::string(texts::kSettingsFileName) + " [" + std::string(kCliSection) + "] " + std::string(key);
}

}  // namespace

std::string parseLinkText(const std::string& text, const std::string& source, CliOptions& options)
{
    const std::size_t colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const std::string where = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    CliOptions chosen = options;
    const auto named = linkKindNamed(kind);
    if (where.empty() || !named || !aimLink(chosen, *named, where).empty())
        return MessageWithValues("sLinkTextMsg", {source, text});
    options = chosen;
    return {};
}

std::string applyUsualLink(CliOptions& options, const char* variable, const IniDocument& settings)
{
    if (!options.linkGiven) {
        if (variable && *variable) {
            if (std::string error = parseLinkText(variable, kUsualLinkVariable, options); !error.empty())
                return error;
        } else if (const auto link = settings.value(kCliSection, "Link"); link && !link->empty()) {
            if (std::string error = parseLinkText(*link, fileSource("Link"), options); !error.empty())
                return error;
        }
    }
    const auto fill = [&](std::string_view key, bool given, std::uint32_t& speed) {
        const auto value = settings.value(kCliSection, key);
        if (given || !value || value->empty())
            return std::string();
        return readSerialSpeed(fileSource(key), *value, speed);
    };
    const std::string error = fill("DeviceSpeed", options.deviceSpeedGiven, options.deviceSpeed);
    return error.empty() ? fill("TransferSpeed", options.transferSpeedGiven, options.transferSpeed) : error;
}

}  // namespace pst::cli
