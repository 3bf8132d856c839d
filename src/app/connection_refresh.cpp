#include "app/connection_refresh.h"

#include "app/speed_boxes.h"
#include "platform/int_conversion.h"

namespace pst::app {

namespace {

// A speed box as the worker once read it at the start of a run: any whole
// number, the conversion's message otherwise, whatever the link.
std::uint32_t speedInBox(const std::string& text)
{
    return static_cast<std::uint32_t>(strToInt(text));
}

}  // namespace

void refreshConnectionSettings(ConnectionSettingsStore& store, const LinkControls& controls)
{
    // Checked before touching the store, the transfer speed's box first.
    RequireUsableLinkBoxes(controls);
    const std::uint32_t transferSpeed = speedInBox(controls.transferSpeedText);
    const std::uint32_t deviceSpeed = speedInBox(controls.deviceSpeedText);
    store.update([&](ConnectionSettings& s) {
        s.kind = controls.kind;
        s.deviceSpeed = deviceSpeed;
        s.transferSpeed = transferSpeed;
        switch (controls.kind) {
        case LinkKind::Serial:
            s.comName = controls.comName;
            break;
        case LinkKind::Network:
            s.ipAddress = controls.ipAddress;
            s.port = *PortInBox(controls.portText);
            break;
        case LinkKind::Usb:
            s.usbDeviceId = controls.usbDeviceId;
            break;
        case LinkKind::Parallel:
            break;
        }
    });
}

void noteLinkKind(ConnectionSettingsStore& store, LinkKind kind)
{
    store.update([&](ConnectionSettings& s) { s.kind = kind; });
}

NotedSpeeds noteSpeedTexts(ConnectionSettingsStore& store, const std::string& deviceSpeedText,
                           const std::string& transferSpeedText)
{
    const auto device = parseInt32(deviceSpeedText);
    const auto transfer = parseInt32(transferSpeedText);
    NotedSpeeds noted;
    store.update([&](ConnectionSettings& s) {
        if (device)
            s.deviceSpeed = static_cast<std::uint32_t>(*device);
        if (transfer)
            s.transferSpeed = static_cast<std::uint32_t>(*transfer);
        noted = {s.deviceSpeed, s.transferSpeed};
    });
    return noted;
}

}  // namespace pst::app
