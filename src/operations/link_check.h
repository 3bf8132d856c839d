#pragma once

namespace pst {

class OperationContext;

// Operation 1: open the link (switching speed and identifying the printer),
// switch back and close; tell the window whether the printer was found.
void RunLinkTest(OperationContext& context);

}  // namespace pst
