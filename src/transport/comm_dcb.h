#pragma once
// Translation of the component's line settings into the Windows
// communications record (DCB). A pure function, so the mapping can be
// checked without a port. Windows only; internal to the transport library.

#include <windows.h>

#include "transport/comm_types.h"

namespace pst {

// The record to hand to SetCommState. Starts from the port's current record
// so that fields the component does not own (EofChar, EvtChar) keep the
// driver's values; the flag bits are rebuilt from nothing every time.
DCB commDcb(const DCB& current, const CommLineSettings& settings);

// The five time-outs as the driver takes them.
COMMTIMEOUTS commTimeouts(const CommTimeouts& timeouts);

}  // namespace pst
