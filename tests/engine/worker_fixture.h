#pragma once
// A worker wired to a virtual printer on a pseudo-terminal, with this
// thread playing the window: it records every event the worker delivers.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/comm_thread.h"
#include "operations/operation_table.h"
#include "virtual_printer.h"

namespace pst::test {

// The worker's events as the fixture records them.
enum RecordedEvent : unsigned { LinkFound, LinkFailed, StatusShown, Done, Failed, LogNotSaved };

struct Message {
    unsigned id;
    std::intptr_t wParam;  // Failed: the error code
    std::intptr_t lParam;  // LinkFound, LinkFailed: the device type number
};

class WorkerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
            ("pst-worker-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }

    void TearDown() override
    {
        worker.reset();
        ui->processPending();
        printer.reset();
        std::filesystem::remove_all(folder);
    }

    void startPrinter(sim::SimOptions options = {})
    {
        printer = std::make_unique<sim::VirtualPrinter>(options);
        printer->start();
    }

    // Creates the worker with serial settings aimed at the printer.
    void startWorker(std::uint32_t deviceSpeed = 9600, std::uint32_t transferSpeed = 115200,
                     std::string programFolder = {})
    {
        ConnectionSettings s;
        s.kind = LinkKind::Serial;
        s.comName = printer ? printer->devicePath() : "/nonexistent/port";
        s.deviceSpeed = deviceSpeed;
        s.transferSpeed = transferSpeed;
        settings->set(s);
        createWorker({}, programFolder);
    }

    // Creates the worker for the settings already set, over `links`; records
    // every event it delivers and every status text it shows.
    void createWorker(WorkerLinks links = {}, std::string programFolder = {})
    {
        worker = std::make_unique<TCommThread>(
            settings, programFolder.empty() ? folder.string() : programFolder, std::move(links));
        worker->setOperationTable(&operationHandler);
        worker->setEvents(recordingEvents(), ui);
    }

    // Events that record into `messages` and `statusTexts` (main panel) and
    // hand the rest to `extra`'s members, when set.
    WorkerEvents recordingEvents()
    {
        WorkerEvents events = extra;
        events.linkFound = [this](const pst::PrinterFound& found) {
            messages.push_back({LinkFound, 0, found.deviceType});
        };
        events.linkFailed = [this](const WorkerFailure&) {
            messages.push_back({LinkFailed, 0, worker->deviceTypeNumber()});
        };
        events.status = [this](const StatusUpdate& update) {
            if (update.panel == StatusPanel::Main) {
                messages.push_back({StatusShown, 0, 0});
                statusTexts.push_back(update.text);
            } else if (extra.status) {
                extra.status(update);
            }
        };
        events.done = [this](const RunOutcome&) {
            messages.push_back({Done, 0, 0});
            finished = true;
        };
        events.failed = [this](const WorkerFailure& failure) {
            messages.push_back({Failed, failure.code, 0});
            lastFailure = failure;
            finished = true;
        };
        events.logNotSaved = [this](const std::string&) { messages.push_back({LogNotSaved, 0, 0}); };
        return events;
    }

    // Sets the events the fixture does not record itself (unsolicited lines,
    // USB listings, the parameter window's status panel).
    void setExtraEvents(WorkerEvents events)
    {
        extra = std::move(events);
        worker->setEvents(recordingEvents(), ui);
    }

    // Runs one operation to its end; returns true when it succeeded.
    bool run(int operation, std::int32_t a1 = 0, std::int32_t a2 = 0)
    {
        messages.clear();
        statusTexts.clear();
        finished = false;
        EXPECT_TRUE(worker->StartOperation(static_cast<pst::Operation>(operation), a1, a2));
        EXPECT_TRUE(ui->runUntil([&] { return finished; }, std::chrono::seconds(30)));
        return has(Done);
    }

    // Runs `body` on the worker inside an opened link, through the same run
    // cycle as an operation; true when it ended without failure.
    bool runExchange(const std::function<void(TCommThread&)>& body)
    {
        messages.clear();
        finished = false;
        EXPECT_TRUE(worker->startCustom([body](TCommThread& w) {
            w.guarded([&] {
                w.OpenLink(w.run().comName, w.run().transferSpeed);
                body(w);
            });
            w.CloseLink();
        }));
        EXPECT_TRUE(ui->runUntil([&] { return finished; }, std::chrono::seconds(30)));
        return has(Done);
    }

    bool has(unsigned id) const
    {
        for (const auto& m : messages)
            if (m.id == id)
                return true;
        return false;
    }

    std::vector<unsigned> ids() const
    {
        std::vector<unsigned> out;
        for (const auto& m : messages)
            if (m.id != StatusShown)
                out.push_back(m.id);
        return out;
    }

    std::string debugLog() const
    {
        std::ifstream in(folder / "debug.log", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::vector<std::uint16_t> commandsReceived() const
    {
        std::vector<std::uint16_t> out;
        for (const auto& frame : printer->frames())
            out.push_back(frame.command);
        return out;
    }

    std::filesystem::path folder;
    std::shared_ptr<Dispatcher> ui = Dispatcher::current();
    std::shared_ptr<ConnectionSettingsStore> settings = std::make_shared<ConnectionSettingsStore>();
    std::unique_ptr<sim::VirtualPrinter> printer;
    std::unique_ptr<TCommThread> worker;
    std::vector<Message> messages;
    std::vector<std::string> statusTexts;
    WorkerFailure lastFailure;
    WorkerEvents extra;
    bool finished = false;
};

}  // namespace pst::test
