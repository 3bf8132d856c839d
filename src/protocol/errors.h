#pragma once
// The command engine's failures. Each carries the text the user sees.

#include <stdexcept>

namespace pst {

// No accepted reply after every attempt.
class ECommunicationException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The printer acknowledged every write, yet its memory read back holds other
// bytes than were sent.
class EReadBackMismatch : public ECommunicationException {
public:
    using ECommunicationException::ECommunicationException;
};

// The printer did not confirm a speed switch or the connect request.
class ESetBaudRateException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace pst
