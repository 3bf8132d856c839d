#pragma once

#include "host_port.h"
#include "virtual_printer.h"

#include <gtest/gtest.h>

#include <memory>

namespace pst::sim::test {

// A started printer with the host's port already open on it.
class PrinterTest : public ::testing::Test {
protected:
    void startPrinter(SimOptions opts = {})
    {
        printer_ = std::make_unique<VirtualPrinter>(std::move(opts));
        printer_->start();
        port_ = std::make_unique<HostPort>(printer_->devicePath());
    }

    VirtualPrinter& printer() { return *printer_; }
    HostPort& port() { return *port_; }

private:
    std::unique_ptr<VirtualPrinter> printer_;
    std::unique_ptr<HostPort> port_;
};

}  // namespace pst::sim::test
