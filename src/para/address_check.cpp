#include "para/address_check.h"

#include <QTimer>

#include "para/para_actions.h"
#include "para/para_widgets.h"
#include "requests/field_refusal.h"

namespace pst::para {

void checkAddressOnLeaving(QLineEdit* edit, const requests::SettingField& field, ParaActions& actions)
{
    onLeavingEdit(edit, [edit, &field, &actions](QAbstractButton* pressedButton) {
        if (requests::IsWholeAddress(edit->text().toStdString()))
            return;
        // Once the focus change under way has finished; the edit being the
        // timer's context, the call is dropped should it be gone by then.
        QTimer::singleShot(0, edit, [edit] {
            if (edit->isVisible())
                edit->setFocus(Qt::OtherFocusReason);
        });
        actions.refuseThenClick(requests::EFieldRefusal(field).textFor(edit->accessibleName().toStdString()),
                                pressedButton);
    });
}

}  // namespace pst::para
