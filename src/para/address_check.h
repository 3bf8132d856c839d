#pragma once
// The check on leaving an address edit: an address the platform's dotted
// conversion refuses shows the edit's message, and the focus goes back to
// the edit; its text stays as typed. A button pressed to leave the edit is
// still clicked once the message is answered.

#include <string_view>

class QLineEdit;

namespace pst::para {

class ParaActions;

void checkAddressOnLeaving(QLineEdit* edit, std::string_view messageKey, ParaActions& actions);

}  // namespace pst::para
