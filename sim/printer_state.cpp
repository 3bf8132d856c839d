#include "printer_state.h"

namespace pst::sim {

void PrinterState::recordFrame(const ReceivedFrame& frame)
{
    ++framesReceived;
    received.push_back(frame);
    while (received.size() > kFrameHistory) {
        received.pop_front();
    }
}

}  // namespace pst::sim
