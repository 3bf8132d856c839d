#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pst::sim {

class WakePipe;

// The printer's side of a link to the host. The printer logic only sees
// bytes and, where the link has one, the speed the host configured.
class Endpoint {
public:
    virtual ~Endpoint() = default;

    // Becomes readable (POLLIN) when host bytes are waiting.
    virtual int readFd() const = 0;

    // Takes what has arrived without blocking; 0 when nothing was there.
    virtual std::size_t readAvailable(std::span<std::uint8_t> into) = 0;

    // Speed the host's port is set to, or nothing for links without one.
    virtual std::optional<unsigned> hostSpeed() const = 0;

    // Sends every byte unless `stop` is raised first; returns false then.
    virtual bool writeAll(std::span<const std::uint8_t> bytes, const WakePipe& stop) = 0;
};

}  // namespace pst::sim
