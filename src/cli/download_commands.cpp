#include "cli/download_commands.h"

#include <chrono>
#include <sstream>
#include <thread>

#include "cli/argument_parsing.h"
#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "cli/refusal_text.h"
#include "engine/link_kinds.h"
#include "platform/console.h"
#include "platform/file_bytes.h"
#include "platform/int_conversion.h"
#include "platform/program_folder.h"
#include "protocol/downloads.h"
#include "protocol/logo_bank.h"
#include "protocol/logo_preview.h"
#include "protocol/picture_file.h"
#include "protocol/program_file.h"
#include "operations/program_update.h"
#include "protocol/input_error.h"
#include "requests/boot_handshake.h"
#include "requests/download_requests.h"
#include "requests/field_refusal.h"
#include "texts/engine_texts.h"
#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

using namespace std::chrono_literals;

// Message-table keys, as the download page shows them.
constexpr const char* kFileMissingKey = "sMsg24";
constexpr const char* kUpdateProgramKey = "sUpdatePrgFile";
constexpr const char* kReadBackKey = "sReadMemoryMsg";
constexpr auto kDefaultBootLimit = 60s;
constexpr const char* kBootLimitText = "The time limit was reached";

// The command's own status texts and its session's; --quiet leaves them
// out. The transfer's count goes to standard error (progress_display.h).
struct ProgressOut {
    ProgressOut(std::ostream& out, const CliOptions& options) : stream(options.quiet ? nullptr : out.rdbuf()) { }
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
    bool startHandshakeRun() override
    {
        failed_ = session_.run(Operation::BootHandshake) != 0;
        return true;
    }
    bool failed() const { return failed_; }

private:
    CliSession& session_;
    bool failed_ = false;
};

int run(CliSession& session, requests::Request request)
{
    return session.run(request.operation, request.argument1, request.argument2, std::move(request.handOver));
}

// The main window's handshake: rounds until the loader answers, a run
// fails or `limit` is up. Each round waits for its run to end. The port is
// let go again afterwards, as the window does when the loader answers.
bool awaitBootLoader(const CliOptions& options, std::chrono::seconds limit, std::ostream& out, std::ostream& err)
{
    // The session's own failure texts would repeat every round's; the
    // handshake tells the one that matters.
    std::ostringstream sessionErr;
    CliSession session(options, out, sessionErr);
    TCommThread& worker = session.worker();
    SessionBootHandshake link(session);
    requests::BootHandshake handshake(link);
    session.aimSerialComponent(options);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // One handshake polls for about 50 s; the limit may end it sooner.
    worker.setSleeper([deadline](std::chrono::milliseconds ms) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            throw std::runtime_error(kBootLimitText);
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(ms, left));
    });
    while (!link.failed() && std::chrono::steady_clock::now() < deadline)
        if (handshake.round() == requests::BootRound::Answered)
            break;
    worker.setSleeper(nullptr);
    const bool answered = worker.bootReplyText() == kBootReplyMarker;
    // A failure other than the limit (the port would not open) is news.
    if (link.failed() && worker.status().error() != kBootLimitText)
        err << sessionErr.str();
    requests::CloseBootLink(worker);
    if (!answered)
        err << MessageWithNumbers("sNoLoaderMsg", {limit.count()}) << '\n';
    return answered;
}

std::optional<std::chrono::seconds> bootLimitOption(Arguments& args)
{
    if (const auto text = args.option("limit"))
        return std::chrono::seconds(parseNumberInRange(*text, "--limit", 1, 3600));
    return std::nullopt;
}

int runUpdate(const CliOptions& options, std::ostream& out, std::ostream& err, bool firmware)
{
    const char* name = firmware ? "update-firmware" : "update-program";
    std::string path;
    std::optional<std::string> wait;
    std::chrono::seconds bootLimit = kDefaultBootLimit;
    bool loaderWaiting = false;
    try {
        Arguments args(options.arguments);
        wait = args.option("wait");
        if (firmware) {
            bootLimit = bootLimitOption(args).value_or(kDefaultBootLimit);
            loaderWaiting = args.flag("loader-waiting");
        }
        path = args.positional("FILE");
        args.finish();
    } catch (const std::exception& e) {
        return usageError(err, CliRefusalText(e), name);
    }
    // The boot loader listens on the serial port only.
    if (firmware && !linkKindInfo(options.link).reachesBootLoader)
        return usageError(err, MessageText("sSerialOnlyMsg"), name);
    requests::ProgramUpdatePlan plan;
    try {
        plan = requests::ProgramUpdateRequest(path, wait.value_or("5"), firmware, MessageText(kUpdateProgramKey));
    } catch (const requests::EFieldRefusal& refusal) {
        return usageError(err, CliRefusalText(refusal), name);
    } catch (const EInvalidInput& refusal) {
        err << CliRefusalText(refusal) << " (" << path << ")\n";
        return 1;
    }
    ProgressOut progress(out, options);
    progress.stream << plan.statusText << '\n';
    // Without a loader listening, the stream would go nowhere and still end
    // as done.
    if (firmware && !loaderWaiting && !awaitBootLoader(options, bootLimit, progress.stream, err))
        return 1;
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
        limit = bootLimitOption(args).value_or(kDefaultBootLimit);
        args.finish();
    } catch (const std::exception& e) {
        // A --limit that is no number at all comes as the strict conversion's text.
        return usageError(err, CliRefusalText(e), "boot-handshake");
    }
    // The boot loader listens on the serial port only, as for update-firmware.
    if (!linkKindInfo(options.link).reachesBootLoader)
        return usageError(err, MessageText("sBootSerialOnlyMsg"), "boot-handshake");
    if (!awaitBootLoader(options, limit, out, err))
        return 1;
    out << MessageText("sLoaderAnsweredMsg") << '\n';
    return 0;
}

// "1CF000-1CFFFF", as the addresses are typed.
std::string hexSpanText(const AddressSpan& span)
{
    std::ostringstream text;
    text << std::uppercase << std::hex << span.first << '-' << span.last;
    return text.str();
}

int runDownloadFont(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::string path, address;
    bool verify = false, force = false;
    try {
        Arguments args(options.arguments);
        verify = args.flag("verify");
        force = args.flag("force");
        path = args.positional("FILE");
        address = args.positional("ADDRESS_HEX");
        args.finish();
    } catch (const UsageError& e) {
        return usageError(err, CliRefusalText(e), "download-font");
    }
    if (!isRegularFile(path)) {
        err << MessageText(kFileMissingKey) << " (" << path << ")\n";
        return 1;
    }
    if (!parseHexInt32(address))
        return usageError(err, CliRefusalText(EConvertError::forText(address)), "download-font");
    requests::MaybeRequest download;
    try {
        download = requests::FontDownloadRequest(path, address, verify);
    } catch (const requests::EFieldRefusal& refusal) {
        return usageError(err, CliRefusalText(refusal), "download-font");
    } catch (const EInvalidInput& refusal) {
        err << CliRefusalText(refusal) << " (" << path << ")\n";
        return 1;
    }
    if (!download) {
        err << MessageText(kFileMissingKey) << " (" << path << ")\n";
        return 1;
    }
    // The printer takes a font anywhere; one over the logo bank leaves a
    // directory of junk that the printer then prints from.
    const auto start = static_cast<std::uint32_t>(*parseHexInt32(address));
    if (const auto overlap = LogoAreaOverlap(start, readableFileSize(path).value_or(0)); overlap && !force)
        return usageError(err, MessageWithText("sFontOverLogosMsg", hexSpanText(*overlap)), "download-font");
    ProgressOut progress(out, options);
    CliSession session(options, progress.stream, err);
    return run(session, std::move(*download));
}

// The conversion choices of download-logos, as the download page offers them.
PictureConversion conversionOptions(Arguments& args)
{
    PictureConversion conversion;
    if (const auto method = args.option("dither")) {
        const auto named = DitherMethodNamed(*method);
        if (!named)
            throw UsageError(MessageWithValues("sDitherChoiceMsg", {"--dither", *method}));
        conversion.method = *named;
    }
    if (const auto threshold = args.option("threshold"))
        conversion.threshold = parseNumberInRange(*threshold, "--threshold", requests::kLogoThresholdField.lowest,
                                                  requests::kLogoThresholdField.highest);
    if (const auto fit = args.option("fit"))
        conversion.fitWidth = parseNumberInRange(*fit, "--fit", 8, kWidestHeadDots);
    return conversion;
}

int runDownloadLogos(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> pictures;
    PictureConversion conversion;
    std::optional<std::string> preview;
    bool verify = false;
    try {
        Arguments args(options.arguments);
        conversion = conversionOptions(args);
        preview = args.option("preview");
        verify = args.flag("verify");
        pictures.push_back(args.positional("PICTURE"));
        while (const auto more = args.optionalPositional())
            pictures.push_back(*more);
        args.finish();
    } catch (const UsageError& e) {
        return usageError(err, CliRefusalText(e), "download-logos");
    } catch (const EConvertError& e) {
        return usageError(err, InputRefusalText(e), "download-logos");
    }
    for (const auto& picture : pictures)
        if (!isRegularFile(picture))
            err << MessageText("sPictureMissingMsg") << " (" << picture << ")\n";
    std::vector<std::uint8_t> bank;
    try {
        bank = BuildLogoBankFromFiles(
            pictures, [&](const std::string& path) { return LoadLogoPicture(path, conversion); });
    } catch (const EInvalidInput& e) {
        err << InputRefusalText(e) << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << EngineTextInLanguage(e.what()) << '\n';
        return 1;
    }
    if (bank.size() == kLogoDirectorySize) {
        err << MessageText("sNoPictureMsg") << '\n';
        return 1;
    }
    if (preview) {
        // Drawn from the bank's bytes, so it shows what the printer would get.
        try {
            WritePreviewPng(*preview, BankPreview(bank));
        } catch (const std::exception& e) {
            err << EngineTextInLanguage(e.what()) << '\n';
            return 1;
        }
        out << MessageText("sPreviewWrittenMsg") << " (" << *preview << ")\n";
        return 0;
    }
    if (!LogoBankSizeProblem(bank.size()).empty()) {
        // The download page's text, with the limit in KiB; nothing written.
        err << MessageWithNumbers("sDnLogFileMsg", {static_cast<long long>(kLogoBankLimit / 1024)}) << '\n';
        return 1;
    }
    const std::string bankPath = LogoBankPath(resolveProgramFolder(options.dataDir));
    try {
        SaveLogoBank(bankPath, bank);
    } catch (const std::exception& e) {
        err << EngineTextInLanguage(e.what()) << '\n';
        return 1;
    }
    ProgressOut progress(out, options);
    // The bank is written whole: logos stored before and not in this list are gone.
    progress.stream << MessageText("sReplacesLogosMsg") << '\n';
    CliSession session(options, progress.stream, err);
    return run(session, requests::LogoBankDownloadRequest(bankPath, verify));
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
        return usageError(err, CliRefusalText(e), "read-memory");
    }
    ReadBackRequest request;
    try {
        request = ReadBackFromTexts(start, length);
    } catch (const std::exception& e) {
        return usageError(err, CliRefusalText(e), "read-memory");
    }
    if (request.length <= 0)
        return usageError(err, MessageWithValues("sAtLeastOneMsg", {"LENGTH"}), "read-memory");
    requests::Request read;
    try {
        read = requests::MemoryReadRequest(request.startAddress, request.length, output);
    } catch (const requests::EFieldRefusal& refusal) {
        return usageError(err, CliRefusalText(refusal), "read-memory");
    } catch (const EInvalidInput& refusal) {
        err << CliRefusalText(refusal) << " (" << output << ")\n";
        return 1;
    }
    ProgressOut progress(out, options);
    progress.stream << MessageWithText(kReadBackKey, output) << '\n';
    CliSession session(options, progress.stream, err);
    return run(session, std::move(read));
}

}  // namespace

void appendDownloadCommands(std::vector<Command>& table)
{
    constexpr auto kDownloads = CommandGroup::Downloads;
    table.push_back({"update-program",
                     "FILE [--wait S]",
                     "replace the printer's program",
                     kDownloads,
                     {"FILE      the program file (its model must match the printer's)\n"
                      "--wait S  seconds to wait for the printer to restart afterwards (default 5)",
                      "the model check, the connect packet, then the file in 256-byte blocks (operation 4)",
                      PrinterReply::Confirmed, "--serial /dev/ttyUSB0 update-program printer.bin"},
                     &runUpdateProgram});
    table.push_back(
        {"update-firmware",
         "FILE [--wait S] [--limit S | --loader-waiting]",
         "send a firmware file to the printer's boot loader",
         kDownloads,
         {"FILE              the firmware file (not empty)\n"
          "--wait S          seconds to wait for the loader before the file goes (default 5)\n"
          "--limit S         how long to look for the boot loader first, 1 to 3600 (default 60)\n"
          "--loader-waiting  the loader already answered (boot-handshake): do not look for it\n"
          "Serial only. Switch the printer on while the command looks for the loader; without\n"
          "an answer nothing is sent and the exit status is 1.",
          "the boot handshake (0x61 until the loader echoes it), then the file in 256-byte\n"
          "blocks, paced, to the boot loader on the serial port (operation 25)",
          PrinterReply::Unanswered, "--serial /dev/ttyUSB0 update-firmware firmware.bin"},
         &runUpdateFirmware});
    table.push_back({"boot-handshake",
                     "[--limit S]",
                     "wait for the printer's boot loader to answer",
                     kDownloads,
                     {"--limit S  give up after S seconds, 1 to 3600 (default 60)\n"
                      "The loader answers only while it runs, as just after the printer is switched on.\n"
                      "Serial only.",
                      "the byte 0x61, again and again, until the boot loader echoes it (operation 28)",
                      PrinterReply::Confirmed, "--serial /dev/ttyUSB0 boot-handshake --limit 30"},
                     &runBootHandshake});
    table.push_back({"download-font",
                     "[--verify] [--force] FILE ADDRESS_HEX",
                     "write a font library into printer memory",
                     kDownloads,
                     {"FILE         the font library\n"
                      "ADDRESS_HEX  where it goes in the printer's memory, in hexadecimal\n"
                      "             (0x before it or not)\n"
                      "--verify     read the written range back afterwards and compare; a difference\n"
                      "             fails the command, naming the first differing address\n"
                      "--force      write it even over the logo area 1CF000-20EFFF (without it, a font\n"
                      "             that reaches into the logos is refused with exit status 2)",
                      "the file in memory-write blocks from ADDRESS_HEX on (operation 3); with --verify,\n"
                      "memory-read requests for the same range",
                      PrinterReply::Confirmed, "--serial /dev/ttyUSB0 download-font gb2312.bin 210000"},
                     &runDownloadFont});
    table.push_back({"download-logos",
                     "[--dither METHOD] [--threshold N] [--fit WIDTH] [--preview OUT.png] [--verify] PICTURE...",
                     "store pictures as the printer's logos 1, 2, ..., replacing every stored logo",
                     kDownloads,
                     {"PICTURE...         BMP, PNG, JPEG or GIF pictures, in logo order; a missing one\n"
                      "                   gets no number. The logo bank is built as 1.bin in the data\n"
                      "                   folder first; it replaces every logo the printer holds.\n"
                      "--dither METHOD    threshold (default: black below the threshold, for line art),\n"
                      "                   floyd-steinberg or atkinson (shaded pictures and photos)\n"
                      "--threshold N      the brightness, 0 to 255, below which a dot is black (default 128)\n"
                      "--fit WIDTH        scale every picture to WIDTH dots, keeping its aspect: 384 for\n"
                      "                   58 mm paper, 576 for 80 mm; a picture wider than 576 dots needs it\n"
                      "--preview OUT.png  write what each logo will print, one under the other, and send\n"
                      "                   nothing\n"
                      "--verify           read the written bank back afterwards and compare",
                      "the logo bank 1.bin in memory-write blocks (operation 7); with --verify,\n"
                      "memory-read requests for the same range", PrinterReply::Confirmed,
                      "--serial /dev/ttyUSB0 download-logos --dither floyd-steinberg --fit 384 shop.png"},
                     &runDownloadLogos});
    table.push_back({"read-memory",
                     "ADDRESS_HEX LENGTH OUTPUT",
                     "copy printer memory into a file",
                     kDownloads,
                     {"ADDRESS_HEX  the first address, in hexadecimal (0x before it or not)\n"
                      "LENGTH       how many bytes, at least 1\n"
                      "OUTPUT       the file that receives the raw bytes",
                      "memory-read requests for the range, block by block (operation 16)",
                      PrinterReply::ReadBack, "--serial /dev/ttyUSB0 read-memory 100000 4096 dump.bin"},
                     &runReadMemory});
}

}  // namespace pst::cli
