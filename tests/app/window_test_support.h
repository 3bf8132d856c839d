#pragma once
// What the window tests share: a prompter that records the message boxes
// instead of showing them, opening the windows over a test's own folders,
// and small text helpers.

#include <QString>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "desktop/program_windows.h"
#include "app/prompter.h"

namespace pst::test {

class RecordingPrompter : public app::Prompter {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
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
