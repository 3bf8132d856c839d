#include "printer_state.h"

#include <utility>

namespace pst::sim {

void PrinterState::recordFrame(const ReceivedFrame& frame)
{
    ++framesReceived;
    received.push_back(frame);
    while (received.size() > kFrameHistory) {
        received.pop_front();
    }
}

void PrinterState::recordPrinted(PrintedItem item)
{
    printed.push_back(std::move(item));
    while (printed.size() > kPrintHistory) {
        printed.pop_front();
    }
}

void PrinterState::recordRaw(RawCommandRecord record)
{
    ++rawCommandsReceived;
    rawReceived.push_back(std::move(record));
    while (rawReceived.size() > kFrameHistory) {
        rawReceived.pop_front();
    }
}

}  // namespace pst::sim
