#pragma once
// What the worker tells whoever started it, as typed events.
//
// The worker delivers them through the dispatcher given with them (a
// window's: they run on its thread; linkFound, linkFailed and done wait
// until handled, the others are queued), or, with no dispatcher, at once on
// the worker thread (the command line). Either way they come in the order
// they happened: the status texts of a run before its done or failed, and
// the run is over (Busy() false) before done or failed is delivered.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pst {

// Every run the worker starts has its own number, counted from 1; 0 names
// no run (a request that was refused). Each event of a run carries it, so
// that whoever started a run acts on that run's events only.
using RunId = std::uint64_t;

// What kind of failure ended a run or a link test.
enum class FailureKind {
    Refused,    // the run could not start: the operation is not usable
    Link,       // the link component failed (the port, the device, the socket)
    Exchange,   // the printer did not answer as expected
    Mismatch,   // the memory read back differs from what was written
    Other,      // any other failure with a text
    Undefined,  // a failure without a text: code 2, "Undefined Error"
    Stopped,    // asked to stop (cancelOperation), it stopped between two blocks
};

struct WorkerFailure {
    RunId run = 0;
    int operation = 0;
    FailureKind kind = FailureKind::Other;
    int code = 1;       // 1: the text says what failed; 2: "Undefined Error"
    std::string text;   // the error text the windows show
    std::string cause;  // what lay behind it, in more words (may be empty)
    // The link opened but the printer heard neither the speed switch nor the
    // identify request: it may be listening at another speed.
    bool unheard = false;
    // The serial line speeds the printer left a request unanswered at, since
    // it last answered one during the run: asking there again tells nothing.
    std::vector<std::uint32_t> silentAt;
    // Stopped: the blocks sent (or read back) before the stop, of how many.
    std::int32_t blocksDone = 0, blocksInAll = 0;
};

// Which status panel a text is for: the main window's, or the parameter
// window's second panel (download headings).
enum class StatusPanel { Main, ParamBar };

struct StatusUpdate {
    RunId run = 0;     // 0: a text of no run
    std::string text;  // composed: with "done/inAll" when those were given
    std::int32_t done = 0;
    std::int32_t inAll = 0;
    StatusPanel panel = StatusPanel::Main;
};

// The link test found the printer.
struct PrinterFound {
    RunId run = 0;
    std::string model;
    int deviceType = 0;
};

// A run that ended as asked, with what it leaves behind.
struct RunOutcome {
    RunId run = 0;
    int operation = 0;
    // What a read-back collected in this run; empty for other runs.
    std::vector<std::uint8_t> memory;
};

// The worker's list of USB printers, standing in for the main window's
// device box: the identifiers that contain "811E", and the box's text (the
// chosen one, empty for none). `error` is why the last refresh stopped short.
struct UsbDeviceListing {
    std::vector<std::string> items;
    std::string text;
    std::string error;
};

// Any member may be left empty.
struct WorkerEvents {
    std::function<void(const PrinterFound& found)> linkFound;
    std::function<void(const WorkerFailure& failure)> linkFailed;
    std::function<void(const StatusUpdate& update)> status;
    std::function<void(const RunOutcome& outcome)> done;
    std::function<void(const WorkerFailure& failure)> failed;
    // "debug.log" could not be written: the path and why.
    std::function<void(const std::string& reason)> logNotSaved;
    // A line the printer sent while no operation ran.
    std::function<void(const std::string& line)> unsolicitedLine;
    std::function<void(const UsbDeviceListing& listing)> usbDevicesChanged;
};

}  // namespace pst
