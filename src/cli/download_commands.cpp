#include "cli/download_commands.h"

#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>

#include "cli/argument_parsing.h"
#include "cli/cli_session.h"
#include "cli/progress_output.h"
#include "platform/file_bytes.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "protocol/bmp_reader.h"
#include "protocol/downloads.h"
#include "protocol/logo_bank.h"
#include "protocol/program_file.h"
#include "operations/program_update.h"

namespace pst::cli {

namespace {

using namespace std::chrono_literals;

constexpr const char* kFileMissingText = "文件不存在";
constexpr const char* kUpdateProgramPrefix = "更新程序";
constexpr const char* kReadBackPrefix = "更新字库";
constexpr auto kDefaultBootLimit = 60s;
constexpr const char* kBootLimitText = "The time limit was reached";

// The session prints through a stream that keeps progress on one line when
// the output is a terminal.
struct ProgressOut {
    explicit ProgressOut(std::ostream& out)
        : buffer(out, &out == &std::cout && standardOutputIsTerminal()), stream(&buffer)
    {
    }
    ~ProgressOut() { buffer.finish(); }
    ProgressStreamBuf buffer;
    std::ostream stream;
};

int usage(std::ostream& err, const UsageError& e, const char* command)
{
    err << e.what() << "\nSee: pennafor-cli " << command << " --help\n";
    return 2;
}

int runUpdate(const CliOptions& options, std::ostream& out, std::ostream& err, bool firmware)
{
    std::string path;
    std::optional<std::string> wait;
    try {
        Arguments args(options.arguments);
        wait = args.option("wait");
        path = args.positional("FILE");
        args.finish();
    } catch (const UsageError& e) {
        return usage(err, e, firmware ? "update-firmware" : "update-program");
    }
    if (!isRegularFile(path)) {
        err << kFileMissingText << " (" << path << ")\n";
        return 1;
    }
    HandOver handOver;
    handOver.waitTimeMs = WaitTimeMsFromText(wait.value_or("5"));
    handOver.programImage = readFileBytes(path).value_or(std::vector<std::uint8_t>{});
    if (!firmware)
        handOver.fileTag = ProgramFileTag(handOver.programImage);
    ProgressOut progress(out);
    progress.stream << ProgramUpdateStatusText(kUpdateProgramPrefix, path, handOver.programImage.size())
                    << '\n';
    CliSession session(options, progress.stream, err);
    if (firmware)
        session.aimSerialComponent(options);
    return session.run(firmware ? 25 : 4, 0, 0, std::move(handOver));
}

int runUpdateProgram(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    return runUpdate(options, out, err, false);
}

int runUpdateFirmware(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    return runUpdate(options, out, err, true);
}

int runBootHandshake(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::chrono::seconds limit = kDefaultBootLimit;
    try {
        Arguments args(options.arguments);
        if (const auto text = args.option("limit"))
            limit = std::chrono::seconds(parseNumberInRange(*text, "--limit", 1, 3600));
        args.finish();
    } catch (const UsageError& e) {
        return usage(err, e, "boot-handshake");
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 2;
    }
    std::ostringstream sessionErr;
    CliSession session(options, out, sessionErr);
    TCommThread& worker = session.worker();
    session.aimSerialComponent(options);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // One handshake polls for about 50 s; the limit may end it sooner.
    worker.SetSleeper([deadline](std::chrono::milliseconds ms) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            throw std::runtime_error(kBootLimitText);
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(ms, left));
    });
    bool answered = false;
    // As the main window's boot timer: start the handshake again until the
    // loader answers or the time is up.
    bool failed = false;
    while (!answered && !failed && std::chrono::steady_clock::now() < deadline) {
        failed = session.run(28) != 0;
        answered = worker.BootReplyText() == kBootReplyMarker;
    }
    // A failure other than the limit (the port would not open) is news.
    if (failed && worker.Status().error() != kBootLimitText)
        err << sessionErr.str();
    // Leave boot mode as the main window does.
    worker.SetRawReceiveMode(false);
    worker.ReleaseSerialPort();
    worker.SetPortOpen(false);
    worker.SetBootReplyText("");
    if (!answered) {
        err << "The printer's boot loader did not answer within " << limit.count() << " s\n";
        return 1;
    }
    out << "The printer's boot loader answered\n";
    return 0;
}

int runDownloadFont(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::string path, address;
    try {
        Arguments args(options.arguments);
        path = args.positional("FILE");
        address = args.positional("ADDRESS_HEX");
        args.finish();
    } catch (const UsageError& e) {
        return usage(err, e, "download-font");
    }
    if (!isRegularFile(path)) {
        err << kFileMissingText << " (" << path << ")\n";
        return 1;
    }
    if (!parseInt32("$" + address)) {
        err << invalidIntegerMessage(address) << '\n';
        return 2;
    }
    HandOver handOver;
    handOver.downloadList = {FontDownloadRow(path, address)};
    ProgressOut progress(out);
    CliSession session(options, progress.stream, err);
    return session.run(3, 0, 0, std::move(handOver));
}

int runDownloadLogos(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> pictures;
    try {
        Arguments args(options.arguments);
        pictures.push_back(args.positional("BMP"));
        while (const auto more = args.optionalPositional())
            pictures.push_back(*more);
        args.finish();
    } catch (const UsageError& e) {
        return usage(err, e, "download-logos");
    }
    for (const auto& picture : pictures)
        if (!isRegularFile(picture))
            err << "warning: " << picture << " does not exist; it gets no logo number\n";
    std::vector<std::uint8_t> bank;
    try {
        bank = BuildLogoBankFromFiles(pictures, LoadBmpAsMonochrome);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
    if (bank.size() == kLogoDirectorySize) {
        err << "None of the pictures exists: nothing to download\n";
        return 1;
    }
    const std::string bankPath = LogoBankPath(resolveProgramFolder(options.dataDir));
    try {
        SaveLogoBank(bankPath, bank);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
    if (const std::string problem = LogoBankSizeProblem(bank.size()); !problem.empty()) {
        err << problem << '\n';
        return 1;
    }
    HandOver handOver;
    handOver.downloadList = {LogoDownloadRow(bankPath)};
    ProgressOut progress(out);
    CliSession session(options, progress.stream, err);
    return session.run(7, 0, 0, std::move(handOver));
}

int runReadMemory(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::string start, length, output;
    try {
        Arguments args(options.arguments);
        start = args.positional("ADDRESS_HEX");
        length = args.positional("LENGTH");
        output = args.positional("OUTPUT");
        args.finish();
    } catch (const UsageError& e) {
        return usage(err, e, "read-memory");
    }
    ReadBackRequest request;
    try {
        request = ReadBackFromTexts(start, length);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 2;
    }
    if (request.length <= 0) {
        err << "LENGTH must be at least 1\n";
        return 2;
    }
    HandOver handOver;
    handOver.readBackFile = output;
    ProgressOut progress(out);
    progress.stream << kReadBackPrefix << ":" << output << '\n';
    CliSession session(options, progress.stream, err);
    return session.run(16, request.startAddress, request.length, std::move(handOver));
}

}  // namespace

void appendDownloadCommands(std::vector<Command>& table)
{
    table.push_back(
        {"update-program", "FILE [--wait S]",
         "replace the printer's program (model check, connect, 256-byte blocks); S: restart wait, "
         "default 5",
         &runUpdateProgram});
    table.push_back({"update-firmware", "FILE [--wait S]",
                     "send a firmware file to the printer's boot loader (serial; see boot-handshake)",
                     &runUpdateFirmware});
    table.push_back({"boot-handshake", "[--limit S]",
                     "send 0x61 until the printer's boot loader echoes it (serial; default limit 60 s)",
                     &runBootHandshake});
    table.push_back({"download-font", "FILE ADDRESS_HEX",
                     "write a font library into printer memory at ADDRESS_HEX", &runDownloadFont});
    table.push_back({"download-logos", "BMP...",
                     "store BMP pictures as the printer's logos 1, 2, ... (builds 1.bin in the data folder)",
                     &runDownloadLogos});
    table.push_back({"read-memory", "ADDRESS_HEX LENGTH OUTPUT",
                     "read LENGTH bytes of printer memory from ADDRESS_HEX into the file OUTPUT (raw bytes)",
                     &runReadMemory});
}

}  // namespace pst::cli
