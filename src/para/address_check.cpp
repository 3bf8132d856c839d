#include "para/address_check.h"

#include <QTimer>
#include <string>

#include "texts/message_texts.h"
#include "para/para_actions.h"
#include "para/para_widgets.h"
#include "protocol/dotted_address.h"

namespace pst::para {

void checkAddressOnLeaving(QLineEdit* edit, std::string_view messageKey, ParaActions& actions)
{
    onLeavingEdit(edit, [edit, key = std::string(messageKey), &actions](QAbstractButton* pressedButton) {
        if (IsAcceptedAddress(edit->text().toStdString()))
            return;
        // Once the focus change under way has finished; the edit being the
        // timer's context, the call is dropped should it be gone by then.
        QTimer::singleShot(0, edit, [edit] {
            if (edit->isVisible())
                edit->setFocus(Qt::OtherFocusReason);
        });
        actions.RefuseThenClick(MessageText(key), pressedButton);
    });
}

}  // namespace pst::para
