#pragma once
// The check on leaving an address edit: anything but a whole dotted address
// (four parts from 0 to 255) is refused with a message naming the edit, and
// the focus goes back to it; its text stays as typed. A button pressed to
// leave the edit is still clicked once the message is answered (and its
// request refuses the same address).

class QLineEdit;

namespace pst::requests {
struct SettingField;
}

namespace pst::para {

class ParaActions;

void checkAddressOnLeaving(QLineEdit* edit, const requests::SettingField& field, ParaActions& actions);

}  // namespace pst::para
