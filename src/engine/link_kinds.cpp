#include "engine/link_kinds.h"

#include <array>
#include <stdexcept>

namespace pst {

namespace {

constexpr std::array kKinds{
    LinkKindInfo{LinkKind::Serial, "serial", true, true, true, false, LinkCheckTelling::PortName},
    LinkKindInfo{LinkKind::Network, "udp", true, false, false, true, LinkCheckTelling::Address},
    LinkKindInfo{LinkKind::Usb, "usb", true, false, false, false, LinkCheckTelling::Silent},
    // Chosen in the window and kept in its settings, but there is no driver:
    // its runs fail as soon as they open the link.
    LinkKindInfo{LinkKind::Parallel, "parallel", false, false, false, false, LinkCheckTelling::PortName},
};

}  // namespace

std::span<const LinkKindInfo> linkKinds()
{
    return kKinds;
}

const LinkKindInfo& linkKindInfo(LinkKind kind)
{
    for (const LinkKindInfo& info : kKinds)
        if (info.kind == kind)
            return info;
    throw std::logic_error("A link kind without a row in the link kind table");
}

std::optional<LinkKind> linkKindNamed(std::string_view name)
{
    for (const LinkKindInfo& info : kKinds)
        if (info.supported && info.name == name)
            return info.kind;
    return std::nullopt;
}

}  // namespace pst
