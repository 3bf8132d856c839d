#pragma once
// The composition root: the one place that knows both windows. They are
// made in start-up order: the main window first
// (it creates the worker), then the parameter window, which stays hidden
// until a link test has succeeded. The parameter window goes first when
// they are destroyed, as it reports through the main window's worker.

#include <memory>

#include "app/main_window.h"
#include "para/param_window.h"

namespace pst::desktop {

using app::MainWindow;
using app::MainWindowSetup;
using para::ParamWindow;

class ProgramWindows {
public:
    explicit ProgramWindows(MainWindowSetup setup)
        : main_(std::make_unique<MainWindow>(std::move(setup))), para_(std::make_unique<ParamWindow>(*main_))
    {
        main_->setParameterWindow(para_.get());
    }

    ~ProgramWindows()
    {
        main_->setParameterWindow(nullptr);
        para_.reset();
        main_.reset();
    }

    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    MainWindow& main() { return *main_; }
    ParamWindow& para() { return *para_; }

private:
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<ParamWindow> para_;
};

}  // namespace pst::desktop
