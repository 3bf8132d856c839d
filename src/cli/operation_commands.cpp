#include "cli/operation_commands.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>
#include <utility>

#include "cli/cli_session.h"
#include "cli/command_help.h"
#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "texts/input_refusal_text.h"
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

}  // namespace

// Unanswered bytes may still be queued or on the line when the operation
// ends; closing the port (as leaving the process does) would drop them.
void waitForUnansweredBytes(CliSession& session, std::size_t bytes)
{
    TCommThread& worker = session.worker();
    worker.WaitUntilSent(2000ms);
    const std::uint32_t baud = worker.LineSpeed();
    if (worker.Run().kind != LinkKind::Serial || baud == 0)
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
        return usageError(err, "unknown command '" + options.command + "'");

    requests::Request request;
    try {
        Arguments arguments(options.arguments);
        request = command->build(arguments);
        arguments.finish();
    } catch (const UsageError& e) {
        return usageError(err, e.what(), command->name);
    } catch (const EInvalidInput& e) {
        // The message a window would show for the same input.
        return usageError(err, InputRefusalText(e), command->name);
    } catch (const std::exception& e) {
        // The message a window would show for the same input.
        return usageError(err, e.what(), command->name);
    }

    CliSession session(options, out, err);
    if (request.sending == requests::Sending::Bare)
        session.aimSerialComponent(options);
    const int status = session.run(operationNumber(request.operation), request.argument1, request.argument2,
                                   std::move(request.handOver));
    if (request.sending != requests::Sending::Packet)
        waitForUnansweredBytes(session, request.bytesToSend);
    if (status == 0 && request.newDeviceSpeed &&
        std::to_string(*request.newDeviceSpeed) != options.deviceSpeed) {
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
