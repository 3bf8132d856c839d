#include "cli/operation_commands.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>

#include "cli/cli_session.h"
#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "texts/input_refusal_text.h"

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

bool asksForHelp(const std::vector<std::string>& arguments)
{
    return std::any_of(arguments.begin(), arguments.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

void printCommandHelp(const OperationCommand& command, std::ostream& out)
{
    out << "Usage: pennafor-cli [OPTIONS] " << command.name << (*command.arguments ? " " : "")
        << command.arguments << "\n\n"
        << command.summary << ".\n";
    if (*command.details)
        out << "\n" << command.details << "\n";
}

// Unanswered bytes may still be queued or on the line when the operation
// ends; closing the port (as leaving the process does) would drop them.
void waitUntilSent(CliSession& session, std::size_t bytes)
{
    TCommThread& worker = session.worker();
    worker.WaitUntilSent(2000ms);
    const std::uint32_t baud = worker.LineSpeed();
    if (worker.Run().kind != LinkKind::Serial || baud == 0)
        return;
    // Ten bits a byte, and a little for the driver.
    std::this_thread::sleep_for(std::chrono::microseconds(bytes * 10'000'000ULL / baud) + 5ms);
}

}  // namespace

void appendOperationCommands(std::vector<Command>& table)
{
    for (auto commands : {settingsCommands(), rawCommands()})
        for (const OperationCommand& command : commands)
            table.push_back({command.name, command.arguments, command.summary, &runOperationCommand});
}

int runOperationCommand(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    const OperationCommand* command = findOperationCommand(options.command);
    if (!command) {
        err << "pennafor-cli: unknown command '" << options.command << "'\n";
        return 2;
    }
    if (asksForHelp(options.arguments)) {
        printCommandHelp(*command, out);
        return 0;
    }

    requests::Request request;
    try {
        Arguments arguments(options.arguments);
        request = command->build(arguments);
        arguments.finish();
    } catch (const UsageError& e) {
        err << command->name << ": " << e.what() << "\nTry 'pennafor-cli " << command->name << " --help'.\n";
        return 2;
    } catch (const EInvalidInput& e) {
        // The message a window would show for the same input.
        err << InputRefusalText(e) << '\n';
        return 2;
    } catch (const std::exception& e) {
        // The message a window would show for the same input.
        err << e.what() << '\n';
        return 2;
    }

    CliSession session(options, out, err);
    if (request.sending == requests::Sending::Bare)
        session.aimSerialComponent(options);
    const int status =
        session.run(operationNumber(request.operation), request.argument1, request.argument2, std::move(request.handOver));
    if (request.sending != requests::Sending::Packet)
        waitUntilSent(session, request.bytesToSend);
    if (status == 0 && request.newDeviceSpeed &&
        std::to_string(*request.newDeviceSpeed) != options.deviceSpeed) {
        out << "The printer now listens at " << *request.newDeviceSpeed << " bit/s: give --device-speed "
            << *request.newDeviceSpeed << " from now on.\n";
    }
    return status;
}

}  // namespace pst::cli
