#include "cli/group_arguments.h"

#include <stdexcept>

#include "cli/printer_lists.h"

namespace pst::cli {

namespace {

using requests::SettingField;

class ArgumentReader final : public requests::FieldReader {
public:
    explicit ArgumentReader(Arguments& arguments) : arguments_(arguments) { }

    std::int32_t number(const SettingField& field) override
    {
        return parseNumberInRange(text(field), field.cli, field.lowest, field.highest);
    }

    std::string text(const SettingField& field) override
    {
        if (field.cli.starts_with("--"))
            return arguments_.requiredOption(std::string(field.cli.substr(2)));
        return arguments_.positional(std::string(field.cli));
    }

    int position(const SettingField& field) override
    {
        return parseListChoice(text(field), field.cli, fieldListNames(field));
    }

    bool onOff(const SettingField& field) override { return parseOnOff(text(field), field.cli); }

private:
    Arguments& arguments_;
};

const char* terminated(std::string_view literal)
{
    // Every description text is a literal, so ends with its terminator.
    return literal.data();
}

}  // namespace

OperationCommand describedCommand(const requests::SettingGroup& group)
{
    const requests::CliHelp& help = group.cliHelp;
    OperationCommand command{terminated(group.cliCommand), terminated(help.arguments), terminated(help.summary),
                             terminated(help.details),     terminated(help.sends),
                             group.confirmed ? PrinterReply::Confirmed : PrinterReply::Unanswered,
                             terminated(help.example),     nullptr};
    command.group = &group;
    return command;
}

requests::Request groupRequest(Arguments& arguments, const requests::SettingGroup& group)
{
    ArgumentReader reader(arguments);
    auto requests = requests::GroupRequests(group, reader);
    // Every list read here holds a choice, so every group gives its request.
    if (requests.size() != 1)
        throw std::logic_error("a command sends one request");
    return std::move(requests.front());
}

ListNames fieldListNames(const SettingField& field)
{
    struct Lookup {
        std::string_view list;
        ListNames (*names)();
    };
    static constexpr Lookup kLists[] = {
        {"BaudRate", &baudRateNames},         {"CodePage", &codePageNames},
        {"Dark description", &densityNames},  {"FontValue", &fontNames},
        {"ForcePaper", &paperFeedNames},      {"Flow control", &flowControlNames},
        {"Bluetooth SEEK", &bluetoothHidingNames}, {"BlueToolth WorkMode", &workModeNames},
        {"InfraredBaurate", &infraredSpeedNames},  {"irda Protecl", &irdaProtocolNames},
        {"USB Device Type", &usbTypeNames},   {"Paper Type", &paperTypeNames},
        {"Printer Order", &printOrderNames},
    };
    for (const Lookup& lookup : kLists)
        if (lookup.list == field.itemList)
            return lookup.names();
    throw std::logic_error("no command-line names for list " + std::string(field.itemList));
}

}  // namespace pst::cli
