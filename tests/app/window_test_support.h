#pragma once
// What the window tests share: a prompter that records the message boxes
// instead of showing them, one fixture with each test's own folders and
// virtual printer, opening the windows over those folders, and small text
// helpers.

#include <QString>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "desktop/program_windows.h"
#include "app/prompter.h"
#include "texts/message_texts.h"
#include "virtual_printer.h"

// A case about Linux alone (the virtual printer serves pseudo-terminals;
// ports and USB devices are read from sysfs) is skipped on Windows. First
// statement of the case.
#ifdef _WIN32
#define PST_LINUX_ONLY(why) QSKIP(why)
#else
#define PST_LINUX_ONLY(why) static_cast<void>(0)
#endif
#define PST_NEEDS_VIRTUAL_PRINTER() PST_LINUX_ONLY("the virtual printer is built for Linux only")

namespace pst::test {

class RecordingPrompter : public app::Prompter {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string& text) override
    {
        questions.push_back(text);
        return answer;
    }
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;  // what every question is answered
};

// Both windows with their data in `programFolder`, serial ports listed from
// `ttyFolder` and USB devices from `usbRoot`; the main window shown.
inline std::unique_ptr<desktop::ProgramWindows> openWindows(const std::filesystem::path& programFolder,
                                                        const std::filesystem::path& ttyFolder,
                                                        const std::filesystem::path& usbRoot,
                                                        std::vector<std::string> languageFolders,
                                                        app::Prompter& prompter)
{
    app::MainWindowSetup setup;
    setup.programFolder = programFolder.string();
    setup.languageFolders = std::move(languageFolders);
    setup.prompter = &prompter;
    setup.sysfsTtyFolder = ttyFolder.string();
    setup.usbPaths = {usbRoot.string(), (usbRoot / "dev").string()};
    setup.watchUsbDevices = false;
    auto windows = std::make_unique<desktop::ProgramWindows>(std::move(setup));
    windows->main().show();
    return windows;
}

// Each test function gets fresh folders under the temporary folder (named
// after `prefix` and the function), message texts as shipped, and a virtual
// printer when it starts one. A test class derives from it after QObject
// and calls setUpWindowTest and tearDownWindowTest from init and cleanup.
class WindowFixture {
protected:
    void setUpWindowTest(const char* prefix)
    {
        const std::filesystem::path base = std::filesystem::temp_directory_path() /
            (prefix + std::to_string(::getpid()) + "-" + QTest::currentTestFunction());
        std::filesystem::remove_all(base);
        dataDir = base / "data";
        ttyDir = base / "tty";
        usbDir = base / "usb";
        std::filesystem::create_directories(dataDir);
        std::filesystem::create_directories(ttyDir);
        std::filesystem::create_directories(usbDir);
        prompter = RecordingPrompter();
        ResetMessageTexts();
    }

    void tearDownWindowTest()
    {
        printer.reset();
        ResetMessageTexts();
        std::filesystem::remove_all(dataDir.parent_path());
    }

    std::unique_ptr<desktop::ProgramWindows> openTestWindows(std::vector<std::string> languageFolders)
    {
        return openWindows(dataDir, ttyDir, usbDir, std::move(languageFolders), prompter);
    }

    void startPrinter()
    {
        printer = std::make_unique<sim::VirtualPrinter>(sim::SimOptions{});
        printer->start();
    }

    std::filesystem::path dataDir;
    std::filesystem::path ttyDir;
    std::filesystem::path usbDir;
    RecordingPrompter prompter;
    std::unique_ptr<sim::VirtualPrinter> printer;
};

inline std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline QString qs(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

inline bool hasChineseCharacter(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x3000)
            return true;
    return false;
}

}  // namespace pst::test
