#include "app/speed_boxes.h"

#include <algorithm>

#include "app/connection_refresh.h"
#include "protocol/value_mappings.h"
#include "texts/message_texts.h"

namespace pst::app {

ESpeedRefusal::ESpeedRefusal(std::string_view control)
    : EInvalidInput(SpeedRefusalText(control)), control_(control)
{
}

bool IsListedSpeed(std::string_view text)
{
    return std::find(kBaudRateItems.begin(), kBaudRateItems.end(), text) != kBaudRateItems.end();
}

void RequireListedSpeeds(const LinkControls& controls)
{
    if (controls.kind != LinkKind::Serial)
        return;
    if (!IsListedSpeed(controls.transferSpeedText))
        throw ESpeedRefusal(kTransferSpeedBox);
    if (!IsListedSpeed(controls.deviceSpeedText))
        throw ESpeedRefusal(kDeviceSpeedBox);
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
