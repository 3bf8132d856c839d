#pragma once
// The program's prompter: a modal message box over the active window.

#include "app/prompter.h"

namespace pst::app {

class MessageBoxPrompter : public Prompter {
public:
    void showMessage(const std::string& text) override;
    bool confirm(const std::string& text) override;
};

}  // namespace pst::app
