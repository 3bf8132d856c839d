#include "operations/dry_run.h"

#include <string>

#include "engine/link_kinds.h"
#include "engine/operation_context.h"
#include "operations/operation_table.h"
#include "protocol/command_packet.h"

namespace pst {

namespace {

class RecordingContext final : public OperationContext {
public:
    RecordingContext(int operation, std::int32_t argument1, std::int32_t argument2, const HandOver& handOver,
                     const RunSettings& run)
        : operation_(operation), argument1_(argument1), argument2_(argument2), handOver_(handOver), run_(run)
    {
    }

    std::vector<std::vector<std::uint8_t>> frames;

    int operationNumber() const override { return operation_; }
    std::int32_t argument1() const override { return argument1_; }
    std::int32_t argument2() const override { return argument2_; }
    const HandOver& handOver() const override { return handOver_; }
    const RunSettings& settings() const override { return run_; }

    void openLink() override { }
    void restoreLinkSpeed() override { }
    void closeLink() override { }
    std::uint32_t settleLineSpeed() override { return 0; }
    void openLinkForBootLoader() override { }
    void closeBootLoaderPort() override { }
    bool releaseLink() override { return false; }
    void retakeLink() override { }
    void reopenBare() override { }
    bool writeBytes(std::span<const std::uint8_t> bytes) override
    {
        frames.emplace_back(bytes.begin(), bytes.end());
        return true;
    }

    std::uint32_t confirmedSend(std::uint16_t command, std::uint32_t argument1, int, std::span<const std::uint8_t> payload,
                                std::uint32_t argument2, std::span<std::uint8_t>) override
    {
        // As the exchange frames it: a datagram is its own frame and carries
        // no payload check.
        frames.push_back(buildCommandPacket(command, argument1, argument2, payload,
                                            linkKindInfo(run_.kind).framesByDatagram ? PayloadCheck::Omit
                                                                                     : PayloadCheck::Append));
        return 0;
    }
    std::uint32_t readRequest(std::uint16_t command, std::uint32_t argument1, int, std::span<const std::uint8_t> payload,
                              std::span<std::uint8_t>) override
    {
        frames.push_back(buildCommandPacket(command, argument1, 0, payload));
        return 0;
    }
    void connect() override { }

    void setRawReceiveMode(bool) override { }
    int rawFirstByte() override { return -1; }
    void clearRawReceive() override { }
    void setBootPollMode(bool) override { }
    void pause(int) override { }
    bool cancelled() const override { return false; }

    void showStatus(const std::string&, std::int32_t, std::int32_t, bool) override { }
    std::string deviceModel() const override { return {}; }
    int deviceTypeNumber() const override { return 0; }

    void setErrorCode(int code) override { errorCode_ = code; }
    int errorCode() const override { return errorCode_; }
    void setErrorText(const std::string& text) override { errorText_ = text; }
    std::string errorText() const override { return errorText_; }
    void noteFailureCause(const std::exception&) override { }
    void addToFailure(const std::string&) override { }
    void setMemoryStream(std::vector<std::uint8_t>) override { }
    void setBootReplyText(const std::string&) override { }
    void rememberDeviceSpeed(std::uint32_t) override { }
    void reportLinkFound() override { }
    void reportLinkFailed() override { }

private:
    int operation_;
    std::int32_t argument1_;
    std::int32_t argument2_;
    const HandOver& handOver_;
    RunSettings run_;
    int errorCode_ = 0;
    std::string errorText_;
};

}  // namespace

std::vector<std::vector<std::uint8_t>> DryRunFrames(Operation operation, std::int32_t argument1,
                                                    std::int32_t argument2, const HandOver& handOver,
                                                    const RunSettings& run)
{
    const int number = operationNumber(operation);
    RecordingContext context(number, argument1, argument2, handOver, run);
    if (const OperationHandler handler = operationHandler(operation))
        handler(context);
    return std::move(context.frames);
}

}  // namespace pst
