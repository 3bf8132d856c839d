#pragma once
// pennafor-cli against a virtual printer of its own, in a folder of its
// own, with pictures and files written there.

#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/cli_process.h"
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
        const std::size_t row = ((static_cast<std::size_t>(width) * 24 + 31) / 32) * 4;
        std::vector<std::uint8_t> b(54 + row * static_cast<std::size_t>(height), 0);
        auto put = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        if (b.size() < 54)
            return {};
        b[0] = 'B';
        b[1] = 'M';
        put(10, 54);
        put(14, 40);
        put(18, static_cast<std::uint32_t>(width));
        put(22, static_cast<std::uint32_t>(height));
        b[26] = 1;
        b[28] = 24;
        return write(name, b);
    }

    std::string stateJson() const { return printer->stateJson(); }

    std::unique_ptr<pst::sim::VirtualPrinter> printer;
};

}  // namespace pst::test
