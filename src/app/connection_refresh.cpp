#include "app/connection_refresh.h"

#include "app/speed_boxes.h"

namespace pst::app {

void refreshConnectionSettings(ConnectionSettingsStore& store, const LinkControls& controls)
{
    // Checked before touching the store; the worker converts the texts
    // when the run starts.
    RequireUsableLinkBoxes(controls);
    store.update([&](ConnectionSettings& s) {
        s.kind = controls.kind;
        s.deviceSpeedText = controls.deviceSpeedText;
        s.transferSpeedText = controls.transferSpeedText;
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

void noteSpeedTexts(ConnectionSettingsStore& store, const std::string& deviceSpeedText,
                    const std::string& transferSpeedText)
{
    store.update([&](ConnectionSettings& s) {
        s.deviceSpeedText = deviceSpeedText;
        s.transferSpeedText = transferSpeedText;
    });
}

}  // namespace pst::app
