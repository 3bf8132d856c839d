#pragma once
// The context the worker hands each run's operation: every call goes to
// the worker's own methods and to the exchanges over it.

#include "engine/operation_context.h"

namespace pst {

class TCommThread;

class WorkerContext final : public OperationContext {
public:
    explicit WorkerContext(TCommThread& worker) : worker_(worker) { }

    int operationNumber() const override;
    std::int32_t argument1() const override;
    std::int32_t argument2() const override;
    const HandOver& handOver() const override;
    const RunSettings& settings() const override;

    void openLink() override;
    void restoreLinkSpeed() override;
    void closeLink() override;
    std::uint32_t settleLineSpeed() override;
    void openLinkForBootLoader() override;
    void closeBootLoaderPort() override;
    bool releaseLink() override;
    void retakeLink() override;
    void reopenBare() override;
    bool writeBytes(std::span<const std::uint8_t> bytes) override;

    std::uint32_t confirmedSend(std::uint16_t command, std::uint32_t argument1, int attempts,
                                std::span<const std::uint8_t> payload, std::uint32_t argument2,
                                std::span<std::uint8_t> reply) override;
    std::uint32_t readRequest(std::uint16_t command, std::uint32_t argument1, int attempts,
                              std::span<const std::uint8_t> payload, std::span<std::uint8_t> out) override;
    void connect() override;

    void setRawReceiveMode(bool on) override;
    int rawFirstByte() override;
    void clearRawReceive() override;
    void setBootPollMode(bool on) override;
    void pause(int milliseconds) override;
    bool cancelled() const override;

    void showStatus(const std::string& text, std::int32_t done, std::int32_t inAll, bool toParamBar) override;

    std::string deviceModel() const override;
    int deviceTypeNumber() const override;

    void setErrorCode(int code) override;
    int errorCode() const override;
    void setErrorText(const std::string& text) override;
    std::string errorText() const override;
    void noteFailureCause(const std::exception& failure) override;
    void addToFailure(const std::string& line) override;
    void setMemoryStream(std::vector<std::uint8_t> bytes) override;
    void setBootReplyText(const std::string& text) override;
    void rememberDeviceSpeed(std::uint32_t speed) override;

    void reportLinkFound() override;
    void reportLinkFailed() override;

private:
    TCommThread& worker_;
};

}  // namespace pst
