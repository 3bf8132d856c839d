#include "engine/link_factory.h"

#include "engine/link_kinds.h"
#include "engine/network_link.h"
#include "engine/serial_link.h"
#include "engine/usb_link.h"

namespace pst {

std::unique_ptr<Link> makeLink(LinkKind kind, const LinkParts& parts)
{
    switch (kind) {
    case LinkKind::Serial: {
        // Only the serial port knows raw receive mode.
        StreamReply::Context context = parts.streamContext;
        context.rawReceiveMode = parts.rawReceiveMode;
        return std::make_unique<SerialLink>(parts.comm, std::move(context));
    }
    case LinkKind::Usb:
        return std::make_unique<UsbLink>(parts.usb, parts.comm, parts.streamContext);
    case LinkKind::Network:
        return std::make_unique<NetworkLink>(parts.udpClient, parts.log);
    case LinkKind::Parallel:
        break;
    }
    return nullptr;
}

std::vector<std::unique_ptr<Link>> makeEveryLink(const LinkParts& parts)
{
    std::vector<std::unique_ptr<Link>> links;
    for (const LinkKindInfo& info : linkKinds())
        if (auto link = makeLink(info.kind, parts))
            links.push_back(std::move(link));
    return links;
}

}  // namespace pst
