#pragma once
// A described setting group on the command line: its command (name and
// help from the description) and its fields read from the arguments by the
// names the description gives (an option "--sleep", or a word in capitals
// in the command's place).

#include "cli/argument_parsing.h"
#include "cli/operation_commands.h"
#include "requests/setting_group.h"

namespace pst::cli {

OperationCommand describedCommand(const requests::SettingGroup& group);

// The group's request; UsageError naming the option when a value is not
// what its field takes.
requests::Request groupRequest(Arguments& arguments, const requests::SettingGroup& group);

// The spellings the command line takes for a field's list.
ListNames fieldListNames(const requests::SettingField& field);

}  // namespace pst::cli
