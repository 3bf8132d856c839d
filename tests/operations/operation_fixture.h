#pragma once
// The worker against the virtual printer, with the hand-over a window
// would give, and a look at the printer's state once it has acted.

#include "engine/worker_fixture.h"

namespace pst::test {

class OperationFixture : public WorkerFixture {
protected:
    // Runs one operation with its hand-over; true when it succeeded.
    bool runWith(int operation, std::int32_t a1 = 0, std::int32_t a2 = 0, HandOver handOver = {})
    {
        messages.clear();
        statusTexts.clear();
        finished = false;
        EXPECT_TRUE(
            worker->StartOperation(static_cast<pst::Operation>(operation), a1, a2, std::move(handOver)));
        EXPECT_TRUE(ui->runUntil([&] { return finished; }, std::chrono::seconds(30)));
        return has(Done);
    }

    bool runWithBlock(int operation, std::vector<std::uint8_t> block)
    {
        HandOver handOver;
        handOver.paramBlock = std::move(block);
        return runWith(operation, 0, 0, std::move(handOver));
    }

    // Unanswered bytes reach the printer after the run has ended: wait for
    // the printer to have acted on them.
    bool printerReaches(const std::function<bool(const sim::PrinterState&)>& ready)
    {
        return printer->waitFor(ready, 3000);
    }

    sim::PrinterSettings printerSettings() const
    {
        sim::PrinterSettings copy;
        printer->waitFor(
            [&](const sim::PrinterState& s) {
                copy = s.settings;
                return true;
            },
            0);
        return copy;
    }

    std::vector<sim::PrintedItem> printed() const
    {
        std::vector<sim::PrintedItem> copy;
        printer->waitFor(
            [&](const sim::PrinterState& s) {
                copy.assign(s.printed.begin(), s.printed.end());
                return true;
            },
            0);
        return copy;
    }

    // What the window's earlier link test leaves on the serial component,
    // which bare operations write through.
    void aimSerialComponentAtPrinter(std::uint32_t speed = 9600)
    {
        worker->aimSerialPort(printer->devicePath(), speed);
    }

    // The last status text the worker showed (the window's status line).
    std::string shownStatus() const { return worker->status().status(); }
};

}  // namespace pst::test
