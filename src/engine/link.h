#pragma once
// One link to the printer, whatever carries it: the worker drives the serial
// port, the USB device and the network the same way through this.
//
// Threads: every member is called on the worker thread. What a link
// receives may arrive on its component's reader thread; the link hands it
// over under its own lock.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/connection_settings.h"

namespace pst {

// Where a link is opened: each kind takes the fields it needs.
struct LinkTarget {
    std::string portName;             // serial
    std::uint32_t speed = 0;          // serial: the speed it opens at
    std::uint32_t transferSpeed = 0;  // serial: the speed the operation runs at
    std::string usbDeviceId;          // USB
    std::string host;                 // network
    std::int32_t port = 0;            // network
    // The worker holds the link already: let go of it before taking it.
    bool letGoFirst = false;
};

// How long a reply may take: a stream link waits `stream` for the whole
// reply, a datagram link `datagram` for one datagram.
struct ReplyTimeouts {
    std::chrono::milliseconds stream;
    std::chrono::milliseconds datagram;
};

// What the worker does while a driver opens its link and reaches the
// printer; each driver puts the steps in its own order.
class LinkReach {
public:
    virtual ~LinkReach() = default;
    // The run holds its link from here on (closing lets go of it).
    virtual void markOpen() = 0;
    // "Open<name>" in the log, while an operation runs.
    virtual void logOpen(const std::string& name) = 0;
    virtual void pause(int milliseconds) = 0;
    // A probe asks at once, without the settling pause.
    virtual bool probing() const = 0;
    // The first exchanges: the speed switch to `switchTo` when given, then
    // identify. A failure among them marks the run unheard, and is thrown.
    virtual void reachPrinter(std::optional<std::uint32_t> switchTo) = 0;
};

class Link {
public:
    virtual ~Link() = default;

    virtual LinkKind kind() const = 0;
    // Takes the link. Throws the component's failures.
    virtual void open(const LinkTarget& target) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Opens the link for an operation and reaches the printer.
    virtual void openAndReach(const LinkTarget& target, LinkReach& worker) = 0;
    // Takes the link again as `target` names it, without asking the printer
    // anything (the unanswered commands).
    virtual void reopenBare(const LinkTarget& target, LinkReach& /*worker*/) { open(target); }
    // While the printer restarts: lets go of what the link holds so that
    // retake() can take it again as it was; false when it holds nothing.
    virtual bool letGoWhileRestarting() { return false; }
    virtual void retake() { }
    // Whether closing is logged, with the serial port's name.
    virtual bool logsClose() const { return true; }

    // Before a write is logged: drops what was received before it (logged
    // as it came): what comes now answers `request`, or is not its reply.
    virtual void beforeWrite(std::span<const std::uint8_t> /*request*/) { }

    // Forgets any reply collected so far, then sends the bytes. False when
    // the link could not take them (closed, or refused): an exchange then
    // ends by its time-out, an unanswered command fails.
    virtual bool write(const std::uint8_t* bytes, std::size_t count) = 0;
    // True once a complete, valid reply to the last write is in; false when
    // none came within the time. Throws the link's failures.
    virtual bool awaitReply(const ReplyTimeouts& timeouts) = 0;
    // Copies the accepted reply's payload (up to `capacity` bytes); returns
    // its whole length.
    virtual std::uint32_t takePayload(std::uint8_t* out, std::size_t capacity) = 0;
    // A datagram is a frame of its own: the payload needs no check byte.
    virtual bool framesByDatagram() const { return false; }

    // Line speed, on the links that have one (0 on the others).
    virtual std::uint32_t speed() const { return 0; }
    virtual void setSpeed(std::uint32_t) { }

    // Raw receive (the boot loader): the first byte received since the last
    // write or clear, or -1.
    virtual int rawFirstByte() { return -1; }
    virtual void clearRawReceive() { }

    // Waits until everything written has left, at most `limit`; true when it
    // has.
    virtual bool waitUntilSent(std::chrono::milliseconds) { return true; }

    // Why the last write could not be sent; empty when it was.
    virtual std::string sendFailure() const { return {}; }
    virtual void forgetSendFailure() { }
};

}  // namespace pst
