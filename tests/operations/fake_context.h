#pragma once
// An operation context without a worker or a link: it records what the
// operation asked for, in order, and fails or cancels where a test says.

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/operation_context.h"
#include "engine/run_stopped.h"
#include "protocol/errors.h"

namespace pst::test {

class FakeContext final : public OperationContext {
public:
    // --- What the test sets up --------------------------------------------
    int operation = 0;
    std::int32_t arg1 = 0;
    std::int32_t arg2 = 0;
    HandOver given;
    RunSettings run;
    std::string model;
    int typeNumber = 0;
    // The confirmed send (1 = the first) that is never confirmed; 0: none.
    int unconfirmedSend = 0;
    // Cancels the run when this write (1 = the first) has been made; 0: never.
    int cancelAtWrite = 0;
    // Cancels the run when this confirmed send (1 = the first) has been
    // confirmed; 0: never.
    int cancelAtSend = 0;
    // How many bytes every read request brings back, and the read request
    // (1 = the first) after which the run is cancelled; 0: never.
    std::uint32_t readReplyBytes = 0;
    int cancelAtRead = 0;
    // The write of this number (1 for the first) is refused by the link.
    int refuseWrite = 0;
    // What rawFirstByte reports.
    int firstRawByte = -1;
    // What settleLineSpeed reports: the speed a printer was left at; 0: none.
    std::uint32_t strandedSpeed = 0;
    // When not empty, opening or closing the link fails with this text.
    std::string openFailure;
    std::string closeFailure;

    // --- What the operation did -------------------------------------------
    // One line per call that reaches the link or the printer, in order.
    std::vector<std::string> calls;
    std::vector<std::string> statusTexts;
    int writes = 0;
    int confirmedSends = 0;
    int readRequests = 0;
    int code = 0;
    std::string text;
    std::string cause;
    // The run ended as stopped (ERunStopped), and how far it said it got.
    bool stopped = false;
    std::int32_t blocksDone = 0;
    std::int32_t blocksInAll = 0;
    std::string bootReply;
    bool bootPolling = false;
    bool rawReceiving = false;
    bool isCancelled = false;
    bool linkFound = false;
    bool linkFailed = false;

    int operationNumber() const override { return operation; }
    std::int32_t argument1() const override { return arg1; }
    std::int32_t argument2() const override { return arg2; }
    const HandOver& handOver() const override { return given; }
    const RunSettings& settings() const override { return run; }

    void openLink() override
    {
        calls.push_back("open");
        if (!openFailure.empty())
            throw std::runtime_error(openFailure);
    }
    void restoreLinkSpeed() override { calls.push_back("restore speed"); }
    void closeLink() override
    {
        calls.push_back("close");
        if (!closeFailure.empty())
            throw std::runtime_error(closeFailure);
    }
    std::uint32_t settleLineSpeed() override { return strandedSpeed; }
    void openLinkForBootLoader() override { calls.push_back("open for boot loader"); }
    void closeBootLoaderPort() override { calls.push_back("close boot loader port"); }
    bool releaseLink() override
    {
        calls.push_back("release");
        return true;
    }
    void retakeLink() override { calls.push_back("retake"); }
    void reopenBare() override { calls.push_back("reopen bare"); }
    bool writeBytes(std::span<const std::uint8_t> bytes) override
    {
        calls.push_back("write " + std::to_string(bytes.size()));
        if (++writes == cancelAtWrite)
            isCancelled = true;
        return writes != refuseWrite;
    }

    std::uint32_t confirmedSend(std::uint16_t command, std::uint32_t address, int,
                                std::span<const std::uint8_t>, std::uint32_t,
                                std::span<std::uint8_t>) override
    {
        calls.push_back("confirmed send " + std::to_string(command) + " at " + std::to_string(address));
        if (++confirmedSends == unconfirmedSend)
            throw ECommunicationException("Download Data Failed");
        if (confirmedSends == cancelAtSend)
            isCancelled = true;
        return 0;
    }
    std::uint32_t readRequest(std::uint16_t command, std::uint32_t address, int,
                              std::span<const std::uint8_t>, std::span<std::uint8_t>) override
    {
        calls.push_back("read request " + std::to_string(command) + " at " + std::to_string(address));
        if (++readRequests == cancelAtRead)
            isCancelled = true;
        return readReplyBytes;
    }
    void connect() override { calls.push_back("connect"); }

    void setRawReceiveMode(bool on) override { rawReceiving = on; }
    int rawFirstByte() override { return firstRawByte; }
    void clearRawReceive() override { firstRawByte = -1; }
    void setBootPollMode(bool on) override { bootPolling = on; }
    void pause(int milliseconds) override { calls.push_back("pause " + std::to_string(milliseconds)); }
    bool cancelled() const override { return isCancelled; }

    void showStatus(const std::string& status, std::int32_t, std::int32_t, bool) override
    {
        if (!status.empty())
            statusTexts.push_back(status);
    }

    std::string deviceModel() const override { return model; }
    int deviceTypeNumber() const override { return typeNumber; }

    void setErrorCode(int errorCode) override { code = errorCode; }
    int errorCode() const override { return code; }
    void setErrorText(const std::string& errorText) override { text = errorText; }
    std::string errorText() const override { return text; }
    void noteFailureCause(const std::exception& failure) override
    {
        cause = failure.what();
        const auto* stop = dynamic_cast<const ERunStopped*>(&failure);
        stopped = stop != nullptr;
        blocksDone = stop ? stop->blocksDone() : 0;
        blocksInAll = stop ? stop->blocksInAll() : 0;
    }
    void addToFailure(const std::string& line) override
    {
        if (code == 0)
            code = 1;
        text = text.empty() ? line : text + "\n" + line;
    }
    void setMemoryStream(std::vector<std::uint8_t>) override { }
    void setBootReplyText(const std::string& reply) override { bootReply = reply; }
    void rememberDeviceSpeed(std::uint32_t speed) override
    {
        calls.push_back("remember device speed " + std::to_string(speed));
    }

    void reportLinkFound() override { linkFound = true; }
    void reportLinkFailed() override { linkFailed = true; }

    // How many calls are exactly `call`.
    int count(const std::string& call) const
    {
        int n = 0;
        for (const std::string& c : calls)
            n += c == call ? 1 : 0;
        return n;
    }
};

}  // namespace pst::test
