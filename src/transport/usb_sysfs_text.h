#pragma once
// What the USB device list reads from the kernel's device tree, as text and
// bytes, apart from the reading: a device's raw descriptors and a device
// node's uevent file. Both come from the device or the system and are
// taken as untrusted.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pst {

// Interface number -> number of interfaces its association binds together,
// from the raw descriptors of a device with a single configuration (the
// device descriptor, then the configuration's descriptors end to end).
std::map<unsigned, unsigned> InterfaceAssociations(std::span<const std::uint8_t> descriptors);

// The node's name below the device-node folder from the DEVNAME line of its
// uevent text, `fallback` without one; nothing when the name would leave
// that folder (absolute, or with a ".." part) or is empty.
std::optional<std::string> NodeNameFromUevent(std::string_view uevent, const std::string& fallback);

}  // namespace pst
