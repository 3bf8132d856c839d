#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "app/message_box_prompter.h"
#include "desktop/program_windows.h"
#include "platform/program_folder.h"
#include "platform/version.h"
#include "texts/data_folder_refusal.h"

namespace {

// A picture of the main window once it has laid itself out and translated.
void saveScreenshotAndQuit(QWidget& window, const QString& path)
{
    QTimer::singleShot(500, &window, [&window, path] {
        const bool saved = window.grab().save(path);
        if (!saved)
            std::fprintf(stderr, "pennafor-setting-tool: cannot save %s\n", path.toLocal8Bit().constData());
        QApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace pst::app;
    using pst::desktop::ProgramWindows;
    // Help and version must work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kAppUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("pennafor-setting-tool (Pennafor Setting Tool V%s)\n", pst::kVersion);
            return 0;
        }
    }

    QApplication app(argc, argv);
    // What is left once Qt has taken its own options (-platform and so on).
    std::vector<std::string> args;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(arguments[i].toStdString());
    const AppOptionsResult parsed = parseAppOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "pennafor-setting-tool: %s\n\n%s", parsed.error.c_str(), kAppUsage);
        return 2;
    }
    const AppOptions& options = *parsed.options;

    MessageBoxPrompter prompter;
    MainWindowSetup setup;
    setup.programFolder = pst::resolveProgramFolder(options.dataDir);
    // Another user's folder, or one others may write to, gets nothing from
    // this program: its files could be links planted to redirect a save.
    if (!pst::folderIsTrusted(setup.programFolder)) {
        prompter.showMessage(pst::texts::DataFolderRefusal(setup.programFolder, {}));
        return 2;
    }
    // The language files ship next to the executable (installed: in
    // share/pennafor-setting-tool); a copy in the data
    // folder wins, so a user can adapt the texts.
    setup.languageFolders = pst::dataSearchFolders(setup.programFolder);
    setup.prompter = &prompter;
    if (!options.serialPort.empty())
        setup.namedPorts.push_back(options.serialPort);

    ProgramWindows windows(std::move(setup));
    MainWindow& main = windows.main();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect frame = main.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        main.move(frame.topLeft());
    }
    main.show();
    if (!options.screenshot.empty())
        saveScreenshotAndQuit(main, QString::fromStdString(options.screenshot));
    return QApplication::exec();
}
