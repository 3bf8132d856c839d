#include "para/group_sending.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <stdexcept>

#include "para/page_building.h"
#include "para/para_widgets.h"
#include "requests/field_refusal.h"

namespace pst::para {

namespace {

using requests::SettingField;

// The fields as the page's controls hold them: a typed number is checked
// as its field says, and a refusal names the field, which the window shows
// under the control's caption.
class ControlReader final : public requests::FieldReader {
public:
    explicit ControlReader(QWidget* page) : page_(page) { }

    std::int32_t number(const SettingField& field) override { return requests::FieldValue(field, text(field)); }

    std::string text(const SettingField& field) override
    {
        return control<QLineEdit>(field)->text().toStdString();
    }

    int position(const SettingField& field) override
    {
        if (auto* radios = dynamic_cast<RadioGroup*>(control<QWidget>(field)))
            return radios->itemIndex();
        return control<QComboBox>(field)->currentIndex();
    }

    bool onOff(const SettingField& field) override { return control<QAbstractButton>(field)->isChecked(); }

private:
    template <typename Control> Control* control(const SettingField& field) const
    {
        auto* found = page_->findChild<Control*>(QString::fromUtf8(field.control.data(),
                                                                   static_cast<qsizetype>(field.control.size())));
        if (!found)
            throw std::logic_error("the page has no control " + std::string(field.control));
        return found;
    }

    QWidget* page_;
};

// A group's button: a click reads its fields from the page's controls and
// starts what the group sends.
void sendGroupOnClick(QPushButton* button, ParaActions& actions, const requests::SettingGroup& group,
                      QWidget* page)
{
    if (!button)
        throw std::logic_error("the window has no button " + std::string(group.button));
    sendOnClick(button, actions, [&group, page]() -> MaybeRequest {
        ControlReader reader(page);
        auto requests = requests::GroupRequests(group, reader);
        if (requests.empty())
            return std::nullopt;
        return std::move(requests.front());
    });
}

}  // namespace

void sendEveryGroupOnClick(ParaActions& actions, QWidget* window)
{
    for (const requests::SettingGroup& group : requests::SettingGroups())
        if (!group.pageBuildsRequest)
            sendGroupOnClick(window->findChild<QPushButton*>(QString::fromUtf8(
                                 group.button.data(), static_cast<qsizetype>(group.button.size()))),
                             actions, group, window);
}

}  // namespace pst::para
