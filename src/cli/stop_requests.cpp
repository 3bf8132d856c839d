#include "cli/stop_requests.h"

#include <list>
#include <mutex>
#include <ostream>

#include "texts/message_texts.h"

namespace pst::cli {

namespace {

struct Requests {
    std::mutex mutex;
    std::optional<StopSignal> signal;
    std::list<const std::function<void()>*> stops;
};

Requests& requests()
{
    static Requests r;
    return r;
}

void stopEverything(StopSignal signal)
{
    Requests& r = requests();
    std::lock_guard lock(r.mutex);
    r.signal = signal;
    for (const auto* stop : r.stops)
        (*stop)();
}

}  // namespace

StopOnRequest::StopOnRequest(std::ostream& err)
    : signals_([&err](StopSignal signal) {
          // First the stop, so the runs end as soon as they can; then a new
          // line of its own, since a progress line may be drawn in place.
          stopEverything(signal);
          err << '\n' << MessageWithText("sStopRequestedMsg", StopSignalName(signal)) << std::endl;
      })
{
}

std::optional<StopSignal> stopRequested()
{
    Requests& r = requests();
    std::lock_guard lock(r.mutex);
    return r.signal;
}

int statusAfterStop(int status)
{
    const auto signal = stopRequested();
    return signal ? StopSignalExitStatus(*signal) : status;
}

StopRegistration::StopRegistration(std::function<void()> stop) : stop_(std::move(stop))
{
    Requests& r = requests();
    std::lock_guard lock(r.mutex);
    r.stops.push_back(&stop_);
}

StopRegistration::~StopRegistration()
{
    Requests& r = requests();
    std::lock_guard lock(r.mutex);
    r.stops.remove(&stop_);
}

bool startUnlessStopped(const std::function<void()>& start)
{
    Requests& r = requests();
    std::lock_guard lock(r.mutex);
    if (r.signal)
        return false;
    start();
    return true;
}

}  // namespace pst::cli
