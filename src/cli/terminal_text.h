#pragma once
// Text that comes from the printer (its model, its name on the network),
// made safe to print on a terminal: a printer, or anything that answers in
// its place, must not be able to move the cursor, clear the screen or
// retitle the window through what the tool prints.

#include <string>
#include <string_view>

namespace pst::cli {

// Control characters (C0, DEL, and C1 as UTF-8 writes them), bytes that
// are not UTF-8 and the backslash itself as "\x1b" or "\\"; letters of any
// language stay as they are.
std::string TerminalSafe(std::string_view printerText);

}  // namespace pst::cli
