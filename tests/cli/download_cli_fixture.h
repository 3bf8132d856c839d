#pragma once
// pennafor-cli against a virtual printer of its own, in a folder of its
// own, with pictures and files written there.

#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/cli_process.h"
#include "support/grey_bmp.h"
#include "virtual_printer.h"

namespace pst::test {

class DownloadCli : public CliProcessTest {
protected:
    void startPrinter(pst::sim::SimOptions options = {})
    {
        options.ptyLink = port();
        options.restartPauseMs = 50;
        printer = std::make_unique<pst::sim::VirtualPrinter>(options);
        printer->start();
    }

    std::string port() const { return (folder / "printer").string(); }

    Outcome cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--serial", port()});
        return runCli(args);
    }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    // An all-black 24-bit picture.
    std::string bmp(const std::string& name, int width, int height)
    {
        return write(name, GreyBmp(width, height, 0));
    }

    std::string stateJson() const { return printer->stateJson(); }

    std::unique_ptr<pst::sim::VirtualPrinter> printer;
};

}  // namespace pst::test
