#pragma once
// How the windows show a message box. The program shows a modal box; tests
// put in a prompter that records the texts instead of blocking.

#include <string>

namespace pst::app {

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows `text` to the user and returns once the user has seen it.
    virtual void showMessage(const std::string& text) = 0;
    // Asks `text` as a yes-or-no question; true for yes.
    virtual bool confirm(const std::string& text) = 0;
};

}  // namespace pst::app
