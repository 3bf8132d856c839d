#pragma once
// Input that a window (or the command line) must refuse before anything is
// started: the text is what the user is shown.

#include <stdexcept>

namespace pst {

class EInvalidInput : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace pst
