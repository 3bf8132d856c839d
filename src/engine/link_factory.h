#pragma once
// The one place a link driver is made for a link kind.

#include <atomic>
#include <memory>
#include <vector>

#include "engine/link.h"
#include "engine/stream_reply.h"

namespace pst {

class TComm;
class TUSBComm;
class TUdpClient;
class TransferLog;

// What the drivers are built on: the worker's components and log, and how
// a stream link reports what it receives.
struct LinkParts {
    TComm& comm;
    TUSBComm& usb;
    std::shared_ptr<TUdpClient> udpClient;
    TransferLog& log;
    // Without the raw receive mode: a driver that knows it adds it.
    StreamReply::Context streamContext;
    const std::atomic<bool>* rawReceiveMode = nullptr;
};

// The driver of `kind`; null for a kind without one.
std::unique_ptr<Link> makeLink(LinkKind kind, const LinkParts& parts);
// A driver for every kind that has one, for the worker's whole life.
std::vector<std::unique_ptr<Link>> makeEveryLink(const LinkParts& parts);

}  // namespace pst
