#pragma once
// RefreshConnectionSettings without the window: what the main window's
// controls hold goes into the store the worker copies at the start of a run.

#include <cstdint>
#include <string>

#include "engine/connection_settings.h"

namespace pst::app {

// The texts of the main window's link controls, as the user left them.
struct LinkControls {
    LinkKind kind = LinkKind::Serial;
    std::string comName;
    std::string deviceSpeedText;
    std::string transferSpeedText;
    std::string ipAddress;
    std::string portText;
    std::string usbDeviceId;
};

// Copies the fields of the chosen link kind. On a serial link both speed
// texts must be among the printer's speeds: otherwise ELinkBoxRefusal (see
// speed_boxes.h) is thrown; on any link a speed text that is no whole number
// throws EConvertError. Either way the store is left as it was.
void refreshConnectionSettings(ConnectionSettingsStore& store, const LinkControls& controls);

// The values the worker reads from the controls themselves at the start of
// every run (link kind and speeds), kept current as the user changes them;
// a speed text that is no number leaves the store's speed alone (the run's
// refresh refuses it). The worker may write a new device speed back (after
// it changed the printer's speed); the window shows it before it reads its
// controls again, telling it from its own by the speeds noted last.
struct NotedSpeeds {
    std::uint32_t device = 0;
    std::uint32_t transfer = 0;
};
void noteLinkKind(ConnectionSettingsStore& store, LinkKind kind);
NotedSpeeds noteSpeedTexts(ConnectionSettingsStore& store, const std::string& deviceSpeedText,
                           const std::string& transferSpeedText);

}  // namespace pst::app
