#pragma once

namespace pst {

class TCommThread;

// Operation 1: open the link (switching speed and identifying the printer),
// switch back and close; tell the window whether the printer was found.
void RunLinkTest(TCommThread& worker);

}  // namespace pst
