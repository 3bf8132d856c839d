#pragma once
// The link components and the worker word their failures in fixed English
// texts (they sit below the message table and are pinned by the transfer
// log and the command line's output). What the user is shown goes through
// here first: every fixed text and hint among them is replaced by its entry
// in the message table, so a Chinese window shows Chinese, while the parts
// only the system knows (a device path, the system's own reason) stay as
// they came.

#include <string>

namespace pst {

std::string EngineTextInLanguage(std::string text);

}  // namespace pst
