#include "cli/operation_commands.h"

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <ostream>
#include <thread>
#include <utility>

#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "cli/group_arguments.h"
#include "cli/refusal_text.h"
#include "cli/stored_switches.h"
#include "engine/link_kinds.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "texts/main_defaults.h"
#include "texts/message_texts.h"

namespace pst::cli {

namespace {

using namespace std::chrono_literals;

const OperationCommand* findOperationCommand(const std::string& name)
{
    for (auto table : {settingsCommands(), rawCommands()})
        for (const OperationCommand& command : table)
            if (name == command.name)
                return &command;
    return nullptr;
}

// "  0  CP932 SHIFT_JIS": the position, then the item's first spelling.
void printChoices(const ListNames& names, std::ostream& out)
{
    for (std::size_t position = 0; position < names.size(); ++position)
        if (!names[position].empty())
            out << std::setw(4) << position << "  " << names[position].front() << '\n';
}

std::string joinedKept(const std::vector<std::string>& kept)
{
    std::string text;
    for (const std::string& option : kept)
        text += (text.empty() ? "" : ", ") + option;
    return text;
}

}  // namespace

// Unanswered bytes may still be queued or on the line when the operation
// ends; closing the port (as leaving the process does) would drop them.
void waitForUnansweredBytes(CliSession& session, std::size_t bytes)
{
    TCommThread& worker = session.worker();
    worker.waitUntilSent(2000ms);
    const std::uint32_t baud = worker.lineSpeed();
    if (!linkKindInfo(worker.run().kind).hasLineSpeed || baud == 0)
        return;
    // Ten bits a byte, and a little for the driver.
    std::this_thread::sleep_for(std::chrono::microseconds(bytes * 10'000'000ULL / baud) + 5ms);
}

void appendOperationCommands(std::vector<Command>& table)
{
    const std::pair<std::span<const OperationCommand>, CommandGroup> groups[] = {
        {settingsCommands(), CommandGroup::Settings}, {rawCommands(), CommandGroup::PrinterCommands}};
    for (const auto& [commands, group] : groups)
        for (const OperationCommand& command : commands)
            table.push_back({command.name,
                             command.arguments,
                             command.summary,
                             group,
                             {command.details, command.sends, command.reply, command.example},
                             &runOperationCommand});
}

int runOperationCommand(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    const OperationCommand* command = findOperationCommand(options.command);
    if (!command)
        return unknownCommand(err, options.command);

    const auto optionsEnd = std::ranges::find(options.arguments, "--");
    if (command->choices && std::find(options.arguments.begin(), optionsEnd, "--list") != optionsEnd) {
        for (const std::string& word : options.arguments)
            if (word != "--list")
                return usageError(err, MessageWithValues("sUnexpectedArgumentMsg", {word}), command->name);
        printChoices(command->choices(), out);
        return 0;
    }
    std::vector<std::string> words = options.arguments;
    if (command->keepsStoredValues) {
        const std::string folder = locateProgramFolder(options.dataDir);
        const CompletedSwitches completed = completeSwitchOptions(
            words, IniDocument::load(joinPath(folder, texts::kSettingsFileName)), dataSearchFolders(folder));
        words = completed.arguments;
        if (!completed.kept.empty())
            out << MessageWithText("sKeptStoredMsg", joinedKept(completed.kept)) << '\n';
    }

    requests::Request request;
    try {
        Arguments arguments(words);
        request = command->group ? groupRequest(arguments, *command->group) : command->build(arguments);
        arguments.finish();
    } catch (const std::exception& e) {
        // The message a window would show for the same input, naming the option.
        return usageError(err, CliRefusalText(e), command->name);
    }

    CliSession session(options, out, err);
    if (request.sending == requests::Sending::Bare)
        session.aimSerialComponent(options);
    const int status =
        session.run(request.operation, request.argument1, request.argument2, std::move(request.handOver));
    if (request.sending != requests::Sending::Packet)
        waitForUnansweredBytes(session, request.bytesToSend);
    if (status == 0 && request.newDeviceSpeed && *request.newDeviceSpeed != options.deviceSpeed) {
        const long long speed = *request.newDeviceSpeed;
        // The all-parameters block is only stored: nothing confirms the
        // printer listens at its speed before it restarts.
        if (request.operation == Operation::SetAllParameters)
            out << MessageWithNumbers("sSpeedSentMsg", {speed}) << '\n';
        else
            out << MessageWithNumbers("sNewSpeedMsg", {speed, speed}) << '\n';
    }
    return status;
}

}  // namespace pst::cli
