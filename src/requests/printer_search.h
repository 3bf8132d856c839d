#pragma once
// Looking for printers on one kind of link, away from the window's own
// worker: every serial port at every usual speed, every USB printer, or a
// block of network addresses. It runs on a thread of its own so that the
// window stays responsive and can stop it at any time.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/connection_settings.h"
#include "engine/network_search.h"

namespace pst::requests {

struct FoundPrinter {
    LinkKind kind = LinkKind::Serial;
    std::string where;                   // the serial port, the USB identifier or the dotted address
    std::uint16_t port = 0;              // network only; 0 on the other links
    std::optional<std::uint32_t> speed;  // serial only: the speed it answered at
    std::string model;
};

// The places of one kind of link to search; the others stay empty.
struct SearchPlan {
    std::vector<std::string> serialPorts;
    std::uint32_t firstSpeed = 9600;  // the speed tried first on every port
    std::vector<std::string> usbDevices;
    std::vector<DatagramPeer> peers;
    FanOutLimits networkLimits;
};

// The network search a window offers for a typed address and port: every
// address of its /24 at that port (5100 when the port is not a number from 1
// to 65535). Nothing when the address is not four numbers from 0 to 255.
std::optional<std::vector<DatagramPeer>> addressNeighbourhood(const std::string& address,
                                                              const std::string& portText);

// What a search tells as it goes. Every call comes on the search's own
// thread, one at a time.
struct SearchEvents {
    // `trying` names the port and speed, the device, or the addresses
    // settled; `done` of `all` attempts are over.
    std::function<void(const std::string& trying, std::size_t done, std::size_t all)> progress;
    std::function<void(const FoundPrinter& printer)> found;
    // A serial port or USB device that could not be used at all (missing,
    // busy, not permitted): the worker's text and cause.
    std::function<void(const std::string& where, const std::string& reason)> unusable;
    // Last of all, also after cancel().
    std::function<void(bool cancelled)> finished;
};

class PrinterSearch {
public:
    // `programFolder` is where the probing worker keeps its transfer log.
    PrinterSearch(SearchPlan plan, std::string programFolder, SearchEvents events);
    // Stops the search and waits for its thread: at most one attempt's
    // clean-up, never a whole attempt.
    ~PrinterSearch();
    PrinterSearch(const PrinterSearch&) = delete;
    PrinterSearch& operator=(const PrinterSearch&) = delete;

    void start();
    // Ends the search as soon as the attempt under way can be dropped.
    void cancel();
    bool cancelled() const { return cancelled_.load(); }

private:
    void run();
    void searchSerial();
    void searchUsb();
    void searchNetwork();
    // The link test on the probing worker; the failure when it failed, or
    // nothing when it succeeded or the search was cancelled meanwhile.
    struct Attempt {
        bool answered = false;
        std::optional<std::string> model;
        bool portUnusable = false;
        std::string reason;
    };
    Attempt linkTest(const ConnectionSettings& settings);

    SearchPlan plan_;
    std::string programFolder_;
    SearchEvents events_;
    std::size_t done_ = 0;
    std::size_t all_ = 0;

    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool runEnded_ = false;
    std::optional<std::string> runFailure_;  // text, cause
    bool runUnheard_ = false;
    std::thread thread_;
};

}  // namespace pst::requests
