// Every kind the table calls supported gets its driver from the one
// factory, and the driver agrees with the table about itself.

#include <gtest/gtest.h>

#include "engine/link_factory.h"
#include "engine/link_kinds.h"
#include "engine/transfer_log.h"
#include "transport/comm.h"
#include "transport/usb_comm.h"

namespace pst {
namespace {

TEST(LinkFactory, MakesADriverForEverySupportedKindThatAgreesWithTheTable)
{
    TComm comm;
    TUSBComm usb(UsbSystemPaths{}, false);
    TransferLog log;
    const LinkParts parts{comm, usb, nullptr, log, {}, nullptr};
    for (const LinkKindInfo& info : linkKinds()) {
        const auto link = makeLink(info.kind, parts);
        ASSERT_EQ(link != nullptr, info.supported) << info.name;
        EXPECT_EQ(linkKindNamed(info.name), info.supported ? std::optional(info.kind) : std::nullopt)
            << info.name;
        if (!link)
            continue;
        EXPECT_EQ(link->kind(), info.kind) << info.name;
        EXPECT_EQ(link->framesByDatagram(), info.framesByDatagram) << info.name;
    }
    EXPECT_EQ(makeEveryLink(parts).size(), 3u);
}

}  // namespace
}  // namespace pst
