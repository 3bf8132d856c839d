#pragma once

#include <string>

namespace pst::sim {

// A symbolic link giving the pty a stable, predictable name. Removed again
// on destruction, unless someone has repointed it in the meantime.
class DeviceLink {
public:
    // Throws std::runtime_error when the link cannot be placed.
    DeviceLink(std::string linkPath, std::string target);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

private:
    std::string linkPath_;
    std::string target_;
};

}  // namespace pst::sim
