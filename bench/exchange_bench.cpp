// How close one confirmed exchange comes to what the link allows.
//
// Reports two ratios (a report, never a pass/fail test):
//  - unpaced: time per confirmed exchange through the worker over a
//    pseudo-terminal, divided by a raw 16-byte round trip on a pseudo-terminal
//    pair (the least any exchange can take there);
//  - paced: the same exchange with the virtual printer pacing the line at
//    115200 bit/s, divided by the wire time of request and reply
//    (bytes x 10 bits / speed).
// The worker takes every read off the line as it comes, so no quiet gap is
// part of the floor.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine/comm_thread.h"
#include "engine/exchanges.h"
#include "virtual_printer.h"

using namespace pst;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kExchanges = 300;

void readExactly(int fd, std::uint8_t* buffer, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, -1);
        const ssize_t n = ::read(fd, buffer + got, count - got);
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("read failed");
    }
}

// A short write would leave the other side waiting for ever.
void writeExactly(int fd, const std::uint8_t* bytes, std::size_t count)
{
    std::size_t sent = 0;
    while (sent < count) {
        const ssize_t n = ::write(fd, bytes + sent, count - sent);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("write failed");
    }
}

// Median time of a 16-byte write answered by a 16-byte echo on one pair.
double rawRoundTripMicros()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);

    std::thread echo([master] {
        std::uint8_t buffer[16];
        for (int i = 0; i < kExchanges; ++i) {
            readExactly(master, buffer, 16);
            writeExactly(master, buffer, 16);
        }
    });
    std::vector<double> samples;
    std::uint8_t packet[16] = {0x02};
    for (int i = 0; i < kExchanges; ++i) {
        const auto start = Clock::now();
        writeExactly(slave, packet, 16);
        readExactly(slave, packet, 16);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    echo.join();
    ::close(slave);
    ::close(master);
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Median time of one confirmed send of an empty packet through the worker.
double exchangeMicros(bool paced, unsigned speed)
{
    sim::VirtualPrinter printer({.speed = speed, .pace = paced});
    printer.start();

    auto settings = std::make_shared<ConnectionSettingsStore>();
    settings->update([&](ConnectionSettings& s) {
        s.comName = printer.devicePath();
        s.deviceSpeed = speed;
        s.transferSpeed = speed;
    });
    std::mutex endMutex;
    std::condition_variable ended;
    bool finished = false;
    auto end = [&] {
        {
            std::lock_guard lock(endMutex);
            finished = true;
        }
        ended.notify_all();
    };
    WorkerEvents events;
    events.done = [&](const RunOutcome&) { end(); };
    events.failed = [&](const WorkerFailure&) { end(); };
    const std::string folder = "/tmp";
    TCommThread worker(settings, folder);
    worker.setEvents(events);
    worker.setSleeper([](std::chrono::milliseconds) {});

    std::vector<double> samples;
    worker.startCustom([&](TCommThread& w) {
        w.guarded([&] {
            w.OpenLink(w.run().comName, w.run().transferSpeed);
            for (int i = 0; i < kExchanges; ++i) {
                const auto start = Clock::now();
                ConfirmedSend(w, 0x79, 0, 1, {});
                samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            }
        });
        w.CloseLink();
    });
    {
        std::unique_lock lock(endMutex);
        ended.wait(lock, [&] { return finished; });
    }
    if (samples.size() != kExchanges)
        throw std::runtime_error("the exchanges did not complete: " + worker.status().error());
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main()
{
    try {
        const double raw = rawRoundTripMicros();
        const double exchange = exchangeMicros(false, 115200);
        std::printf(
            "confirmed exchange over a pseudo-terminal: %.1f us; raw round trip %.1f us; ratio %.2f\n",
            exchange, raw, exchange / raw);

        const unsigned speed = 115200;
        const double wire = (16.0 + 16.0) * 10.0 / speed * 1e6;
        const double paced = exchangeMicros(true, speed);
        std::printf("paced at %u bit/s: %.1f us per exchange; wire time %.1f us; ratio %.3f\n", speed, paced,
                    wire, paced / wire);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchmark failed: %s\n", e.what());
        return 1;
    }
}
