#pragma once

#include "endpoint.h"

#include <string>

namespace pst::sim {

// A pseudo-terminal whose slave side the host opens as if it were the
// printer's serial port.
class PtyEndpoint final : public Endpoint {
public:
    // Throws std::runtime_error when the pty cannot be set up.
    explicit PtyEndpoint(unsigned initialSpeed);
    ~PtyEndpoint() override;
    PtyEndpoint(const PtyEndpoint&) = delete;
    PtyEndpoint& operator=(const PtyEndpoint&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    int readFd() const override { return master_; }
    std::size_t readAvailable(std::span<std::uint8_t> into) override;
    std::optional<unsigned> hostSpeed() const override;
    bool writeAll(std::span<const std::uint8_t> bytes, const WakePipe& stop) override;

private:
    void openMaster();
    void holdSlave(unsigned initialSpeed);

    int master_ = -1;
    // Never read: it exists so that the host's port settings can be inspected
    // (both slave descriptors share one termios), so the master never sees a
    // hang-up when the host closes its port between operations, and so the
    // printer is not locked out once the host claims the port exclusively.
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace pst::sim
