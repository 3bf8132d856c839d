#pragma once
// What an operation may use while it runs: what was asked, the link, the
// two exchanges, status texts, the identified printer, the results it
// leaves behind, and whether it has been asked to stop. The worker hands
// each run one of these; tests hand the operations a fake.
//
// Every call is made on the thread that runs the operation.

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "engine/run_request.h"

namespace pst {

class OperationContext {
public:
    virtual ~OperationContext() = default;

    // --- What was asked ---------------------------------------------------
    virtual int operationNumber() const = 0;
    virtual std::int32_t argument1() const = 0;
    virtual std::int32_t argument2() const = 0;
    virtual const HandOver& handOver() const = 0;
    virtual const RunSettings& settings() const = 0;

    // --- The link ---------------------------------------------------------
    // Opens the run's link at the transfer speed (the serial speed switch
    // included) and identifies the printer.
    virtual void openLink() = 0;
    // Switches the printer and the port back to the device speed.
    virtual void restoreLinkSpeed() = 0;
    // Switches the printer back first when a switch back is still owed
    // (see settleLineSpeed).
    virtual void closeLink() = 0;
    // Once the operation is over, whatever way it ended: a printer still
    // switched away from its device speed is switched back (one attempt).
    // Returns the speed the printer may still be listening at when a switch
    // back went unconfirmed, 0 when it is back where it started.
    virtual std::uint32_t settleLineSpeed() = 0;
    // The boot loader's serial link: the port closed, reopened at the device
    // speed without any speed switch, and given time to settle. Nothing on
    // the other links.
    virtual void openLinkForBootLoader() = 0;
    // Closes the serial port under the boot loader's link, leaving the rest
    // as it is. Nothing on the other links.
    virtual void closeBootLoaderPort() = 0;
    // While the printer restarts: lets go of the link (false when the link
    // has nothing to hold, as on the network), and takes it again.
    virtual bool releaseLink() = 0;
    virtual void retakeLink() = 0;
    // Before a command nobody answers: on a serial link the port is closed
    // and reopened 10 ms apart at the speed last set on it; the network and
    // USB links are taken as the run names them, the printer unasked.
    virtual void reopenBare() = 0;
    // False when the link could not take the bytes: nothing went out.
    virtual bool writeBytes(std::span<const std::uint8_t> bytes) = 0;

    // --- The exchanges (engine/exchanges.h, engine/link_setup.h) -----------
    virtual std::uint32_t confirmedSend(std::uint16_t command, std::uint32_t argument1, int attempts,
                                        std::span<const std::uint8_t> payload, std::uint32_t argument2 = 0,
                                        std::span<std::uint8_t> reply = {}) = 0;
    virtual std::uint32_t readRequest(std::uint16_t command, std::uint32_t argument1, int attempts,
                                      std::span<const std::uint8_t> payload, std::span<std::uint8_t> out) = 0;
    virtual void connect() = 0;

    // --- Raw receive and boot polling --------------------------------------
    virtual void setRawReceiveMode(bool on) = 0;
    // The first byte received since the last write, or -1.
    virtual int rawFirstByte() = 0;
    virtual void clearRawReceive() = 0;
    virtual void setBootPollMode(bool on) = 0;

    // Returns early when the run is cancelled.
    virtual void pause(int milliseconds) = 0;
    // Whether the run has been asked to stop.
    virtual bool cancelled() const = 0;

    // --- Status and progress -----------------------------------------------
    // A non-empty text is shown (with `toParamBar`, as a heading in the
    // parameter window too); a total above zero moves the progress bar.
    virtual void showStatus(const std::string& text, std::int32_t done = 0, std::int32_t inAll = 0,
                            bool toParamBar = false) = 0;

    // --- The identified printer ---------------------------------------------
    virtual std::string deviceModel() const = 0;
    virtual int deviceTypeNumber() const = 0;

    // --- Results ---------------------------------------------------------------
    virtual void setErrorCode(int code) = 0;
    virtual int errorCode() const = 0;
    virtual void setErrorText(const std::string& text) = 0;
    virtual std::string errorText() const = 0;
    virtual void noteFailureCause(const std::exception& failure) = 0;
    // Adds `line` to the error text on a line of its own; a run that had
    // not failed fails with it.
    virtual void addToFailure(const std::string& line) = 0;
    virtual void setMemoryStream(std::vector<std::uint8_t> bytes) = 0;
    virtual void setBootReplyText(const std::string& text) = 0;
    // Later runs open the port at this device speed.
    virtual void rememberDeviceSpeed(std::uint32_t speed) = 0;

    // --- The link test's outcome, told to whoever started the run ----------
    virtual void reportLinkFound() = 0;
    virtual void reportLinkFailed() = 0;

    // Runs `body` under the worker's error policy (engine/error_policy.h),
    // leaving the error code and text it names. True when the body
    // completed.
    bool guarded(const std::function<void()>& body);
};

// What runs a numbered operation.
using OperationHandler = void (*)(OperationContext&);

}  // namespace pst
