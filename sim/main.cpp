#include "cli_options.h"
#include "platform/version.h"
#include "virtual_printer.h"
#include "wake_pipe.h"

#include <cerrno>
#include <csignal>
#include <exception>
#include <iostream>
#include <poll.h>
#include <string>
#include <vector>

namespace {

const pst::sim::WakePipe* gShutdown = nullptr;

extern "C" void onShutdownSignal(int /*signo*/)
{
    if (gShutdown != nullptr)
        gShutdown->raise();
}

void installShutdownHandlers()
{
    struct sigaction action { };
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signo : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signo, &action, nullptr);
    }
}

void waitForShutdown(const pst::sim::WakePipe& shutdown)
{
    pollfd pfd{shutdown.fd(), POLLIN, 0};
    while (::poll(&pfd, 1, -1) < 0 && errno == EINTR) { }
}

}  // namespace

int main(int argc, char** argv)
{
    using pst::sim::CommandLine;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine cmd = pst::sim::parseCommandLine(args);
    if (cmd.action == CommandLine::Action::Help) {
        std::cout << pst::sim::usageText();
        return 0;
    }
    if (cmd.action == CommandLine::Action::Version) {
        std::cout << "pennafor-printer-sim (Pennafor Setting Tool V" << pst::kVersion << ")\n";
        return 0;
    }
    if (cmd.action == CommandLine::Action::Error) {
        std::cerr << "pennafor-printer-sim: " << cmd.error << "\nTry --help for usage.\n";
        return 2;
    }

    try {
        pst::sim::WakePipe shutdown;
        gShutdown = &shutdown;
        installShutdownHandlers();

        pst::sim::VirtualPrinter printer(cmd.options);
        printer.start();
        std::cout << "pennafor-printer-sim: " << cmd.options.model;
        if (cmd.options.servePty) {
            std::cout << " at " << cmd.options.speed << " baud on " << printer.devicePath();
            if (!cmd.options.ptyLink.empty())
                std::cout << " (link " << cmd.options.ptyLink << ")";
        }
        if (!cmd.options.udpAddress.empty()) {
            const std::string address = cmd.options.udpAddress;
            std::cout << (cmd.options.servePty ? "," : "") << " UDP on "
                      << address.substr(0, address.rfind(':') + 1) << printer.udpPort();
        }
        std::cout << std::endl;

        waitForShutdown(shutdown);
        printer.stop();
        gShutdown = nullptr;
    } catch (const std::exception& e) {
        gShutdown = nullptr;
        std::cerr << "pennafor-printer-sim: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
