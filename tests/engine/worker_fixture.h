#pragma once
// A worker wired to a virtual printer on a pseudo-terminal, with this
// thread playing the window: it records every message the worker sends.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/comm_thread.h"
#include "operations/operation_table.h"
#include "engine/window_messages.h"
#include "virtual_printer.h"

namespace pst::test {

struct Message {
    unsigned id;
    std::intptr_t wParam;
    std::intptr_t lParam;
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
    void startWorker(const std::string& deviceSpeed = "9600", const std::string& transferSpeed = "115200",
                     std::string programFolder = {})
    {
        ConnectionSettings s;
        s.kind = LinkKind::Serial;
        s.comName = printer ? printer->devicePath() : "/nonexistent/port";
        s.deviceSpeedText = deviceSpeed;
        s.transferSpeedText = transferSpeed;
        settings->set(s);
        createWorker({}, programFolder);
    }

    // Creates the worker for the settings already set, over `links`; records
    // every message it sends and every status text it shows.
    void createWorker(WorkerLinks links = {}, std::string programFolder = {})
    {
        auto target =
            std::make_shared<MessageTarget>(ui, [this](unsigned id, std::intptr_t w, std::intptr_t l) {
                messages.push_back({id, w, l});
                if (id == UM_OP_DONE || id == UM_OP_FAILED)
                    finished = true;
            });
        worker = std::make_unique<TCommThread>(
            target, settings, programFolder.empty() ? folder.string() : programFolder, std::move(links));
        worker->SetOperationTable(&operationHandler);
        worker->SetStatusSink({ui, [this](const std::string& text) { statusTexts.push_back(text); }});
    }

    // Runs one operation to its end; returns true when it succeeded.
    bool run(int operation, std::int32_t a1 = 0, std::int32_t a2 = 0)
    {
        messages.clear();
        statusTexts.clear();
        finished = false;
        EXPECT_TRUE(worker->StartOperation(operation, a1, a2));
        EXPECT_TRUE(ui->runUntil([&] { return finished; }, std::chrono::seconds(30)));
        return has(UM_OP_DONE);
    }

    // Runs `body` on the worker inside an opened link, through the same run
    // cycle as an operation; true when it ended without failure.
    bool runExchange(const std::function<void(TCommThread&)>& body)
    {
        messages.clear();
        finished = false;
        EXPECT_TRUE(worker->StartCustom([body](TCommThread& w) {
            w.Guarded([&] {
                w.OpenLink(w.Run().comName, w.Run().transferSpeed);
                body(w);
            });
            w.CloseLink();
        }));
        EXPECT_TRUE(ui->runUntil([&] { return finished; }, std::chrono::seconds(30)));
        return has(UM_OP_DONE);
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
            if (m.id != UM_STATUS)
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
    bool finished = false;
};

}  // namespace pst::test
