#include "app/speed_boxes.h"

#include <algorithm>
#include <charconv>

#include "app/connection_refresh.h"
#include "engine/link_kinds.h"
#include "protocol/value_mappings.h"
#include "texts/message_texts.h"

namespace pst::app {

ELinkBoxRefusal::ELinkBoxRefusal(std::string_view control)
    : EInvalidInput(std::string(control)), control_(control)
{
}

std::string ELinkBoxRefusal::textFor(std::string_view caption) const
{
    if (control_ != kPortBox)
        return SpeedRefusalText(caption);
    std::string text = MessageWithNumbers("sFieldRangeMsg", {kLowestPort, kHighestPort});
    if (const std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, caption);
    return text;
}

bool IsListedSpeed(std::string_view text)
{
    return std::find(kBaudRateItems.begin(), kBaudRateItems.end(), text) != kBaudRateItems.end();
}

std::optional<int> PortInBox(std::string_view text)
{
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < kLowestPort ||
        port > kHighestPort)
        return std::nullopt;
    return port;
}

void RequireUsableLinkBoxes(const LinkControls& controls)
{
    if (controls.kind == LinkKind::Network && !PortInBox(controls.portText))
        throw ELinkBoxRefusal(kPortBox);
    if (!linkKindInfo(controls.kind).hasLineSpeed)
        return;
    if (!IsListedSpeed(controls.transferSpeedText))
        throw ELinkBoxRefusal(kTransferSpeedBox);
    if (!IsListedSpeed(controls.deviceSpeedText))
        throw ELinkBoxRefusal(kDeviceSpeedBox);
}

std::string SpeedRefusalText(std::string_view caption)
{
    std::string speeds;
    for (const std::string_view speed : kBaudRateItems)
        speeds += (speeds.empty() ? "" : " ") + std::string(speed);
    std::string text = MessageText("sSpeedChoiceMsg");
    // The caption first, then the list; a translation that lost a place
    // shows what it kept.
    if (const std::size_t at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, caption);
        if (const std::size_t list = text.find("%s", at + caption.size()); list != std::string::npos)
            text.replace(list, 2, speeds);
    }
    return text;
}

}  // namespace pst::app
