#pragma once
// A setting group's button: a click reads the group's fields from the
// page's controls (found by the names the group's description gives) and
// starts what the group sends.

#include <QPushButton>

#include "para/para_actions.h"
#include "requests/setting_group.h"

namespace pst::para {

// Every group's button in `window` but those whose page works the request
// out itself.
void sendEveryGroupOnClick(ParaActions& actions, QWidget* window);

}  // namespace pst::para
