#pragma once
// What the layers above the worker know of each link kind, without holding
// a link: its name, and which of the printer's ways it reaches. A new kind
// is one row here and one driver (link_factory.cpp).

#include <optional>
#include <span>
#include <string_view>

#include "engine/connection_settings.h"

namespace pst {

// How the link check tells the user what it checks and finds.
enum class LinkCheckTelling {
    PortName,  // "Checking"/"Found" with the port's name, in the user's language
    Address,   // the address and port, and a fixed " Found"
    Silent,
};

struct LinkKindInfo {
    LinkKind kind;
    // As the command line, the usual link, reports and JSON write it.
    std::string_view name;
    // The worker has a driver for it; a run on any other kind fails.
    bool supported;
    // A line speed: the speed switch, the speed search and speed recovery.
    bool hasLineSpeed;
    // The printer's boot loader listens on it: firmware update, boot handshake.
    bool reachesBootLoader;
    // One datagram a frame: packets carry no payload check byte.
    bool framesByDatagram;
    LinkCheckTelling checkTelling;
};

std::span<const LinkKindInfo> linkKinds();
const LinkKindInfo& linkKindInfo(LinkKind kind);
// The supported kind written `name`; nothing for any other text.
std::optional<LinkKind> linkKindNamed(std::string_view name);

}  // namespace pst
