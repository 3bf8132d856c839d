#pragma once
// What the network link's two system halves give its portable half: the
// system's error codes and their texts, and the name lookup.

#include <cstdint>
#include <span>
#include <string>

namespace pst {

struct SocketErrorDescription {
    int code;
    const char* text;
};

struct SocketErrorCodes {
    // The system's codes the link raises itself.
    int messageTooLong;
    int invalidArgument;
    // The texts of the codes the system may answer with.
    std::span<const SocketErrorDescription> descriptions;
};

extern const SocketErrorCodes kSocketErrors;

// The IPv4 address (host byte order) the system's resolver finds for `host`.
std::uint32_t lookUpIPv4(const std::string& host);

[[noreturn]] void raiseSocketError(int code);

}  // namespace pst
