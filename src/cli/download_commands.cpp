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
#include "protocol/input_error.h"
#include "requests/boot_handshake.h"
#include "requests/download_requests.h"

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

// The handshake's runs go through the session, which prints their texts
// and waits for each to end, so the command line's rounds never spin.
class SessionBootHandshake : public requests::WorkerBootHandshake {
public:
    explicit SessionBootHandshake(CliSession& session)
        : WorkerBootHandshake(session.worker()), session_(session)
    {
    }
    bool StartHandshakeRun() override
    {
        failed_ = session_.run(operationNumber(Operation::BootHandshake)) != 0;
        return true;
    }
    bool failed() const { return failed_; }

private:
    CliSession& session_;
    bool failed_ = false;
};

int run(CliSession& session, requests::Request request)
{
    return session.run(operationNumber(request.operation), request.argument1, request.argument2,
                       std::move(request.handOver));
}

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
    requests::ProgramUpdatePlan plan;
    try {
        plan = requests::ProgramUpdateRequest(path, wait.value_or("5"), firmware, kFileMissingText,
                                              kUpdateProgramPrefix);
    } catch (const EInvalidInput&) {
        // There, but not readable.
        err << kFileMissingText << " (" << path << ")\n";
        return 1;
    }
    ProgressOut progress(out);
    progress.stream << plan.statusText << '\n';
    CliSession session(options, progress.stream, err);
    if (firmware)
        session.aimSerialComponent(options);
    return run(session, std::move(plan.request));
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
    SessionBootHandshake link(session);
    requests::BootHandshake handshake(link);
    session.aimSerialComponent(options);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // One handshake polls for about 50 s; the limit may end it sooner.
    worker.SetSleeper([deadline](std::chrono::milliseconds ms) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            throw std::runtime_error(kBootLimitText);
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(ms, left));
    });
    // The main window's handshake: rounds until the loader answers, a run
    // fails or the time is up. Each round waits for its run to end.
    while (!link.failed() && std::chrono::steady_clock::now() < deadline)
        if (handshake.Round() == requests::BootRound::Answered)
            break;
    const bool answered = worker.BootReplyText() == kBootReplyMarker;
    // A failure other than the limit (the port would not open) is news.
    if (link.failed() && worker.Status().error() != kBootLimitText)
        err << sessionErr.str();
    // Leave boot mode as the main window does.
    requests::CloseBootLink(worker);
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
    ProgressOut progress(out);
    CliSession session(options, progress.stream, err);
    return run(session, *requests::FontDownloadRequest(path, address));
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
    ProgressOut progress(out);
    CliSession session(options, progress.stream, err);
    return run(session, requests::LogoBankDownloadRequest(bankPath));
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
    ProgressOut progress(out);
    progress.stream << kReadBackPrefix << ":" << output << '\n';
    CliSession session(options, progress.stream, err);
    return run(session, requests::MemoryReadRequest(request.startAddress, request.length, output));
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
