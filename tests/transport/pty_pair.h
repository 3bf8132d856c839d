#pragma once
// Test helpers: a pseudo-terminal whose slave side plays the serial port
// (opened by TComm through its path) while the test keeps the master side as
// the far end of the line, plus a record of the events a TComm raised.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/dispatcher.h"
#include "transport/comm.h"

namespace pst::test {

using namespace std::chrono_literals;

class PtyPair {
public:
    PtyPair()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name, sizeof name) != 0)
            throw std::runtime_error("no pseudo-terminal");
        slavePath_ = name;
    }
    ~PtyPair() { closeMaster(); }

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    void closeMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

    void write(const std::vector<std::uint8_t>& bytes) const
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n < 0)
                throw std::runtime_error("write to master failed");
            done += static_cast<std::size_t>(n);
        }
    }

    // Reads until count bytes arrived or the time is up.
    std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds limit = 10s) const
    {
        std::vector<std::uint8_t> got;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{master_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                break;
            std::uint8_t buffer[4096];
            const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0)
                break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

// Bytes 0..250 repeating, so that order mistakes show.
inline std::vector<std::uint8_t> pattern(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    return bytes;
}

// What a TComm raised, recorded from whatever thread runs its events.
class EventLog {
public:
    struct Chunk {
        std::vector<std::uint8_t> bytes;
        bool zeroAfter = false;
    };
    struct Seen {
        std::vector<Chunk> chunks;
        int sendEmpty = 0;
        int hangups = 0;
        int events = 0;
        std::vector<std::thread::id> threads;

        std::size_t bytes() const
        {
            std::size_t total = 0;
            for (const auto& chunk : chunks)
                total += chunk.bytes.size();
            return total;
        }
    };

    void attach(TComm& comm)
    {
        comm.OnReceiveData = [this](TComm&, const std::uint8_t* buffer, std::uint16_t length) {
            record([&](Seen& s) { s.chunks.push_back({{buffer, buffer + length}, buffer[length] == 0}); });
        };
        comm.OnRequestHangup = [this](TComm&) { record([](Seen& s) { ++s.hangups; }); };
        comm.OnSendDataEmpty = [this](TComm&) { record([](Seen& s) { ++s.sendEmpty; }); };
    }

    Seen seen() const
    {
        std::lock_guard lock(mutex_);
        return seen_;
    }

    // Events run on this thread: keep its dispatcher going until pred holds.
    bool pumpUntil(const std::function<bool(const Seen&)>& pred, std::chrono::milliseconds limit = 5s) const
    {
        return Dispatcher::current()->runUntil([&] { return pred(seen()); }, limit);
    }
    // Events run on another thread: just wait.
    bool waitUntil(const std::function<bool(const Seen&)>& pred, std::chrono::milliseconds limit = 5s) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return pred(seen_); });
    }

private:
    template <class F> void record(F change)
    {
        {
            std::lock_guard lock(mutex_);
            change(seen_);
            ++seen_.events;
            seen_.threads.push_back(std::this_thread::get_id());
        }
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Seen seen_;
};

// The settings the command worker gives its port, which also keep 0x11/0x13
// in test data from being taken as flow control.
inline void configureLikeWorker(TComm& comm, const std::string& path)
{
    comm.setCommName(path);
    comm.setOutx_XonXoffFlow(false);
    comm.setInx_XonXoffFlow(false);
    comm.setDtrControl(TDtrControl::DtrDisable);
    comm.setRtsControl(TRtsControl::RtsDisable);
}

// Runs fn, which must throw ECommsError, and returns its message.
inline std::string commsErrorOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const ECommsError& e) {
        return e.what();
    }
    return "(no ECommsError)";
}

}  // namespace pst::test
