#pragma once
// The boot handshake: the boot-handshake operation is started again, round
// after round, until the printer's boot loader has answered (the worker's
// boot reply text is the marker) or the handshake is cancelled. The main
// window drives the rounds from its one-second timer, the command line from
// a plain loop whose rounds each wait for their run to end; cancelling ends
// a running handshake at once.

#include <string>

namespace pst {
class TCommThread;
}

namespace pst::requests {

// What the handshake needs of the worker.
class BootHandshakeWorker {
public:
    virtual ~BootHandshakeWorker() = default;
    // Starts one handshake run; false when refused because a run is still
    // going (the next round tries again).
    virtual bool startHandshakeRun() = 0;
    virtual bool busy() const = 0;
    virtual std::string bootReplyText() const = 0;
    // Ends the running run at once.
    virtual void cancelRun() = 0;
};

// The worker itself: each run is started and left running.
class WorkerBootHandshake : public BootHandshakeWorker {
public:
    explicit WorkerBootHandshake(TCommThread& worker) : worker_(worker) {}
    bool startHandshakeRun() override;
    bool busy() const override;
    std::string bootReplyText() const override;
    void cancelRun() override;

protected:
    TCommThread& worker_;
};

enum class BootRound {
    Polling,    // a run was started, or one is still going
    Answered,   // the loader answered and its run is over
    Cancelled,  // nothing more is started until Begin
};

class BootHandshake {
public:
    explicit BootHandshake(BootHandshakeWorker& worker) : worker_(worker) {}

    // Ready for rounds again after a cancel.
    void begin() { cancelled_ = false; }
    BootRound round();
    // Stops the handshake at once: the running run is cancelled and no
    // round starts another.
    void cancel();
    bool cancelled() const { return cancelled_; }

private:
    BootHandshakeWorker& worker_;
    bool cancelled_ = false;
};

// Once the loader answered, or the command line is done with it: raw
// receive off, the port closed and the answer forgotten, so that the next
// handshake starts afresh.
void CloseBootLink(TCommThread& worker);

}  // namespace pst::requests
