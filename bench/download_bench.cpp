// How close the long transfers come to what the link allows (a report,
// never a pass/fail test):
//  - a program update of 256 KiB at 115200 and 9600 bit/s and a font
//    download of 1 MiB at 115200 bit/s, with the virtual printer pacing its
//    line: time taken / wire time (all bytes both ways × 10 bits / speed);
//    the font download again verified (read back with 0x34 and compared);
//  - the same font download over UDP on 127.0.0.1: time per acknowledged
//    block / raw loopback round trip of the same datagrams;
//  - the time spent writing "debug.log" of the 1 MiB download.
// The worker takes every read off the line as it comes (no quiet gap ends a
// reply), so the floor is the wire time itself; the bare client shows how
// close a minimal program gets on the same pseudo-terminal.
//
// --quick runs smaller transfers (for a fast look; the 9600 bit/s update of
// 256 KiB alone takes over five minutes of wire time); --udp runs only the
// UDP download, --font only the serial font download and --program only the
// update at 115200 bit/s followed by the bare client (for profiling either
// on its own); --bare only the bare client: the same blocks written and
// acknowledged by a minimal program, the floor the tool is measured against.

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine/comm_thread.h"
#include "operations/operation_table.h"
#include "protocol/command_packet.h"
#include "protocol/downloads.h"
#include "transport/udp_client.h"
#include "virtual_printer.h"

using namespace pst;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kBlock = 256;
constexpr std::size_t kHeader = 16;

// Request (header, payload and its check byte) and acknowledgement.
std::size_t blockExchangeBytes(std::size_t payload)
{
    return kHeader + payload + (payload ? 1 : 0) + kHeader;
}

// Identify (8-byte probe, 8-byte model) before every run.
constexpr std::size_t kIdentifyBytes = (kHeader + 9) * 2;

struct RunResult {
    double seconds = 0;
    bool ok = false;
    std::string error;
    double logSaveMs = 0;
    std::size_t logBytes = 0;
};

std::filesystem::path scratchFolder()
{
    auto folder = std::filesystem::temp_directory_path() / ("pst-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

RunResult runOperation(const ConnectionSettings& connection, WorkerLinks links, Operation operation,
                       HandOver handOver)
{
    auto settings = std::make_shared<ConnectionSettingsStore>();
    settings->set(connection);
    std::mutex endMutex;
    std::condition_variable ended;
    bool finished = false;
    bool ok = false;
    auto end = [&](bool succeeded) {
        {
            std::lock_guard lock(endMutex);
            finished = true;
            ok = succeeded;
        }
        ended.notify_all();
    };
    WorkerEvents events;
    events.done = [&](const RunOutcome&) { end(true); };
    events.failed = [&](const WorkerFailure&) { end(false); };
    const auto folder = scratchFolder();
    links.watchUsbDevices = false;
    TCommThread worker(settings, folder.string(), std::move(links));
    worker.setOperationTable(&operationHandler);
    worker.setSleeper([](std::chrono::milliseconds) {});
    worker.setEvents(events);  // on the worker thread: nothing between it and the clock
    const auto start = Clock::now();
    worker.StartOperation(operation, 0, 0, std::move(handOver));
    {
        std::unique_lock lock(endMutex);
        ended.wait(lock, [&] { return finished; });
    }
    RunResult result;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.ok = ok;
    result.error = worker.status().error();
    // The same log written again: what the run spent saving it.
    const auto logStart = Clock::now();
    worker.log().saveTo((folder / "again.log").string());
    result.logSaveMs = std::chrono::duration<double, std::milli>(Clock::now() - logStart).count();
    result.logBytes = static_cast<std::size_t>(std::filesystem::file_size(folder / "again.log"));
    std::filesystem::remove_all(folder);
    return result;
}

ConnectionSettings serialAt(const sim::VirtualPrinter& printer, unsigned speed)
{
    ConnectionSettings s;
    s.kind = LinkKind::Serial;
    s.comName = printer.devicePath();
    s.deviceSpeed = speed;
    s.transferSpeed = speed;
    return s;
}

void report(const char* what, unsigned speed, std::size_t blocks, std::size_t wireBytes, const RunResult& r)
{
    if (!r.ok) {
        std::printf("%s at %u bit/s: FAILED (%s)\n", what, speed, r.error.c_str());
        return;
    }
    const double wire = static_cast<double>(wireBytes) * 10.0 / speed;
    std::printf("%s at %u bit/s: %zu blocks, %.2f s; wire time %.2f s; ratio %.4f\n", what, speed, blocks,
                r.seconds, wire, r.seconds / wire);
}

void programUpdate(std::size_t size, unsigned speed)
{
    sim::VirtualPrinter printer({.model = "", .speed = speed, .pace = true, .restartPauseMs = 0});
    printer.start();
    HandOver handOver;
    handOver.programImage.assign(size, 0x3C);
    const std::size_t blocks = (size + kBlock - 1) / kBlock;
    const std::size_t wireBytes = kIdentifyBytes + blockExchangeBytes(0) /*connect*/ +
        blocks * blockExchangeBytes(kBlock) + blockExchangeBytes(0);
    const RunResult r =
        runOperation(serialAt(printer, speed), {}, Operation::ProgramUpdate, std::move(handOver));
    char what[64];
    std::snprintf(what, sizeof what, "program update of %zu KiB", size / 1024);
    report(what, speed, blocks + 2, wireBytes, r);
}

// The floor the tool is measured against: a minimal client on the same
// pseudo-terminal, with the virtual printer pacing the line, that writes the
// same 273-byte blocks and reads each 16-byte acknowledgement, nothing else.
speed_t termiosSpeed(unsigned speed)
{
    switch (speed) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    default:
        return B115200;
    }
}

bool readExactly(int fd, std::uint8_t* out, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 3000) <= 0)
            return false;
        const ssize_t n = ::read(fd, out + got, count - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeExactly(int fd, const std::uint8_t* bytes, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 1000);
            continue;
        }
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void bareClient(std::size_t size, unsigned speed)
{
    sim::VirtualPrinter printer({.speed = speed, .pace = true});
    printer.start();
    const int fd = ::open(printer.devicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        std::printf("bare client at %u bit/s: FAILED (cannot open %s)\n", speed,
                    printer.devicePath().c_str());
        return;
    }
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, termiosSpeed(speed));
    ::cfsetospeed(&tio, termiosSpeed(speed));
    ::tcsetattr(fd, TCSANOW, &tio);

    const std::size_t blocks = (size + kBlock - 1) / kBlock;
    std::vector<std::uint8_t> payload(kBlock, 0x3C);
    std::uint8_t reply[kHeader];
    bool ok = true;
    const auto start = Clock::now();
    for (std::size_t i = 0; i < blocks && ok; ++i) {
        const auto packet =
            buildCommandPacket(0x35, static_cast<std::uint32_t>(0x100000 + i * kBlock), 0, payload);
        ok = writeExactly(fd, packet.data(), packet.size()) && readExactly(fd, reply, sizeof reply);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(fd);
    if (!ok) {
        std::printf("bare client at %u bit/s: FAILED (no acknowledgement)\n", speed);
        return;
    }
    const double wire = static_cast<double>(blocks * blockExchangeBytes(kBlock)) * 10.0 / speed;
    std::printf("bare client, %zu blocks of 273 bytes at %u bit/s: %.2f s; wire time %.2f s; ratio %.4f\n",
                blocks, speed, seconds, wire, seconds / wire);
}

std::string writeFontFile(std::size_t size)
{
    const auto path =
        std::filesystem::temp_directory_path() / ("pst-bench-font-" + std::to_string(::getpid()));
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 31);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    return path.string();
}

// With `verify` the written range is read back afterwards: a 16-byte
// request and a 273-byte reply per 256 bytes, as many bytes on the wire as
// the download itself.
void fontDownload(std::size_t size, unsigned speed, bool verify = false)
{
    sim::VirtualPrinter printer({.speed = speed, .pace = true});
    printer.start();
    const std::string font = writeFontFile(size);
    HandOver handOver;
    handOver.downloadList = {FontDownloadRow(font, 0x100000)};
    handOver.verify = verify;
    const std::size_t blocks = (size + kBlock - 1) / kBlock;
    const std::size_t wireBytes = kIdentifyBytes + (verify ? 2 : 1) * blocks * blockExchangeBytes(kBlock);
    const RunResult r =
        runOperation(serialAt(printer, speed), {}, Operation::FontDownload, std::move(handOver));
    char what[64];
    std::snprintf(what, sizeof what, "%sfont download of %zu KiB", verify ? "verified " : "", size / 1024);
    report(what, speed, verify ? 2 * blocks : blocks, wireBytes, r);
    std::printf("  writing \"debug.log\" (%.1f MiB) took %.1f ms, %.2f %% of the run\n",
                static_cast<double>(r.logBytes) / (1024.0 * 1024.0), r.logSaveMs,
                r.logSaveMs / 10.0 / r.seconds);
    std::filesystem::remove(font);
}

// Round trips of a block-sized datagram answered by an acknowledgement-sized
// one between two loopback sockets, each side blocked in its receive. On a
// virtual machine the times fall in two groups (a few microseconds when the
// woken processor is still awake, tens when it has to be woken), so the mean
// is what a transfer of many blocks pays; the median shows the fast group.
struct RoundTrip {
    double meanMicros = 0;
    double medianMicros = 0;
};

RoundTrip loopbackRoundTrip(int rounds)
{
    const int a = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int b = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(b, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(b, reinterpret_cast<sockaddr*>(&addr), &len);
    std::thread echo([b, rounds] {
        std::uint8_t buffer[2048];
        for (int i = 0; i < rounds; ++i) {
            sockaddr_in from{};
            socklen_t fromLen = sizeof from;
            if (::recvfrom(b, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLen) < 0)
                return;
            ::sendto(b, buffer, kHeader, 0, reinterpret_cast<sockaddr*>(&from), fromLen);
        }
    });
    std::vector<double> samples;
    std::uint8_t packet[kHeader + kBlock + 1] = {0x02};
    const auto begin = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        ::sendto(a, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::recv(a, packet, sizeof packet, 0);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    RoundTrip result;
    result.meanMicros = std::chrono::duration<double, std::micro>(Clock::now() - begin).count() / rounds;
    echo.join();
    ::close(a);
    ::close(b);
    std::sort(samples.begin(), samples.end());
    result.medianMicros = samples[samples.size() / 2];
    return result;
}

RunResult udpFontDownload(std::size_t size)
{
    sim::VirtualPrinter printer({.servePty = false, .udpAddress = "127.0.0.1:0"});
    printer.start();
    ConnectionSettings s;
    s.kind = LinkKind::Network;
    s.ipAddress = "127.0.0.1";
    s.port = static_cast<int>(printer.udpPort());
    WorkerLinks links;
    links.udpClient = std::make_shared<TUdpClient>();
    const std::string font = writeFontFile(size);
    HandOver handOver;
    handOver.downloadList = {FontDownloadRow(font, 0x100000)};
    RunResult r = runOperation(s, std::move(links), Operation::FontDownload, std::move(handOver));
    std::filesystem::remove(font);
    return r;
}

// Keeps this thread, and the threads it starts from now on, on the
// processor it runs on. On a virtual machine a wake-up that crosses
// processors costs tens of microseconds and happens at random, which would
// make the ratio measure the hypervisor rather than the tool; both sides of
// the comparison run under the same pinning.
void pinToThisProcessor()
{
    const int cpu = ::sched_getcpu();
    if (cpu < 0)
        return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    ::sched_setaffinity(0, sizeof set, &set);
}

// The same download at a quarter of the size and at the full size: the
// difference is what the blocks cost, without opening the link, starting
// the worker and reading the file, which a run pays once. Writing
// "debug.log" at the end of the run is reported on its own line and taken
// out of the time per block (measured by writing the same log again).
void udpDownload(std::size_t size)
{
    pinToThisProcessor();
    const RunResult small = udpFontDownload(size / 4);
    const RunResult full = udpFontDownload(size);
    if (!small.ok || !full.ok) {
        std::printf("font download over UDP: FAILED (%s)\n", (small.ok ? full : small).error.c_str());
        return;
    }
    const std::size_t blocks = (size + kBlock - 1) / kBlock;
    const double extraBlocks = static_cast<double>(blocks - (size / 4 + kBlock - 1) / kBlock);
    const double exchangeSeconds =
        (full.seconds - full.logSaveMs / 1e3) - (small.seconds - small.logSaveMs / 1e3);
    const double perBlock = exchangeSeconds * 1e6 / extraBlocks;
    const double perBlockWithLog = (full.seconds - small.seconds) * 1e6 / extraBlocks;
    const RoundTrip raw = loopbackRoundTrip(static_cast<int>(blocks));
    std::printf("font download of %zu KiB over UDP on 127.0.0.1 (one processor): %.1f us per acknowledged "
                "block; raw loopback round trip %.1f us (median %.1f us); ratio %.2f\n",
                size / 1024, perBlock, raw.meanMicros, raw.medianMicros, perBlock / raw.meanMicros);
    std::printf(
        "  with its share of writing \"debug.log\": %.1f us per block, ratio %.2f; the whole run took "
        "%.1f ms, writing \"debug.log\" (%.1f MiB) %.1f ms of it\n",
        perBlockWithLog, perBlockWithLog / raw.meanMicros, full.seconds * 1e3,
        static_cast<double>(full.logBytes) / (1024.0 * 1024.0), full.logSaveMs);
}

}  // namespace

int main(int argc, char** argv)
{
    bool quick = false;
    bool udpOnly = false;
    bool programOnly = false;
    bool bareOnly = false;
    bool fontOnly = false;
    bool verifiedOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: pst-bench-download [--quick] [--program | --font | --verify | --udp | --bare]\n"
                        "  --program  only the program update at 115200 bit/s, then the bare client\n"
                        "  --font     only the font download at 115200 bit/s\n"
                        "  --verify   only the verified font download at 115200 bit/s (target ratio 1.05)\n"
                        "  --udp      only the font download over UDP\n"
                        "  --bare     only the bare client at 115200 bit/s\n"
                        "  --quick    smaller transfers\n");
            return 0;
        }
        bareOnly = bareOnly || std::strcmp(argv[i], "--bare") == 0;
        fontOnly = fontOnly || std::strcmp(argv[i], "--font") == 0;
        verifiedOnly = verifiedOnly || std::strcmp(argv[i], "--verify") == 0;
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
        udpOnly = udpOnly || std::strcmp(argv[i], "--udp") == 0;
        programOnly = programOnly || std::strcmp(argv[i], "--program") == 0;
    }
    try {
        if (programOnly) {
            programUpdate(quick ? 64 * 1024 : 256 * 1024, 115200);
            bareClient(quick ? 64 * 1024 : 256 * 1024, 115200);
            return 0;
        }
        if (fontOnly) {
            fontDownload(quick ? 256 * 1024 : 1024 * 1024, 115200);
            return 0;
        }
        if (verifiedOnly) {
            fontDownload(quick ? 256 * 1024 : 1024 * 1024, 115200, true);
            return 0;
        }
        if (bareOnly) {
            bareClient(quick ? 64 * 1024 : 256 * 1024, 115200);
            return 0;
        }
        if (udpOnly) {
            udpDownload(quick ? 256 * 1024 : 1024 * 1024);
            return 0;
        }
        programUpdate(quick ? 64 * 1024 : 256 * 1024, 115200);
        bareClient(quick ? 64 * 1024 : 256 * 1024, 115200);
        programUpdate(quick ? 8 * 1024 : 256 * 1024, 9600);
        fontDownload(quick ? 256 * 1024 : 1024 * 1024, 115200);
        fontDownload(quick ? 256 * 1024 : 1024 * 1024, 115200, true);
        udpDownload(quick ? 256 * 1024 : 1024 * 1024);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchmark failed: %s\n", e.what());
        return 1;
    }
}
