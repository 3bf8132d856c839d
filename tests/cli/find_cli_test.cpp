// Finding a printer whose port, address or speed is not known: find,
// list-ports and the speed named (or taken) after a command the printer did
// not hear, run as a user runs them against virtual printers.

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <optional>
#include <variant>

#include "cli/cli_process.h"
#include "platform/fake_tty_tree.h"
#include "virtual_printer.h"

namespace {

using pst::test::Outcome;

class Find : public pst::test::CliProcessTest {
protected:
    Outcome cli(std::vector<std::string> args, const std::string& environment = {})
    {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--language", "en"});
        return runCli(args, environment);
    }
    std::string port() const { return (folder / "printer").string(); }
};

// Just enough JSON for find's output: an array of flat objects whose values
// are strings, whole numbers or null. Anything else fails to parse.
using JsonValue = std::variant<std::nullptr_t, long long, std::string>;
using JsonObject = std::map<std::string, JsonValue>;

class JsonReader {
public:
    explicit JsonReader(std::string text) : text_(std::move(text)) { }

    std::optional<std::vector<JsonObject>> array()
    {
        std::vector<JsonObject> items;
        if (!take('['))
            return std::nullopt;
        if (!take(']')) {
            do {
                auto item = object();
                if (!item)
                    return std::nullopt;
                items.push_back(std::move(*item));
            } while (take(','));
            if (!take(']'))
                return std::nullopt;
        }
        skipBlanks();
        return at_ == text_.size() ? std::optional(items) : std::nullopt;
    }

private:
    std::optional<JsonObject> object()
    {
        JsonObject fields;
        if (!take('{'))
            return std::nullopt;
        do {
            auto name = string();
            if (!name || !take(':'))
                return std::nullopt;
            auto value = scalar();
            if (!value || !fields.emplace(*name, *value).second)
                return std::nullopt;
        } while (take(','));
        return take('}') ? std::optional(fields) : std::nullopt;
    }
    std::optional<JsonValue> scalar()
    {
        skipBlanks();
        if (text_.compare(at_, 4, "null") == 0) {
            at_ += 4;
            return JsonValue(nullptr);
        }
        if (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            long long number = 0;
            while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_])))
                number = number * 10 + (text_[at_++] - '0');
            return JsonValue(number);
        }
        if (auto s = string())
            return JsonValue(*s);
        return std::nullopt;
    }
    std::optional<std::string> string()
    {
        if (!take('"'))
            return std::nullopt;
        std::string s;
        while (at_ < text_.size() && text_[at_] != '"') {
            if (text_[at_] == '\\' && ++at_ >= text_.size())
                return std::nullopt;
            s += text_[at_++];
        }
        return at_ < text_.size() && text_[at_++] == '"' ? std::optional(s) : std::nullopt;
    }
    bool take(char c)
    {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void skipBlanks()
    {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
            ++at_;
    }

    std::string text_;
    std::size_t at_ = 0;
};

pst::sim::SimOptions onNetwork(const std::string& address, pst::sim::FaultMode fault = pst::sim::FaultMode::None)
{
    return {.fault = {.mode = fault}, .servePty = false, .udpAddress = address};
}

}  // namespace

TEST_F(Find, SerialPrinterIsFoundWithItsSpeedAndModelAndAMissingPortWithItsReason)
{
    pst::sim::VirtualPrinter printer({.ptyLink = port(), .speed = 38400});
    printer.start();
    const Outcome o = cli({"find", "--serial", port(), "--serial", "/dev/pst-no-such-port"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "serial " + port() + " 38400 PNF80\n1 printer(s) found\n");
    EXPECT_EQ(o.err, "serial /dev/pst-no-such-port: Error opening serial port (/dev/pst-no-such-port: No such file "
                     "or directory)\n");
    // Nothing was switched: the printer still listens where it did.
    EXPECT_EQ(printer.currentSpeed(), 38400u);

    const Outcome none = cli({"find", "--serial", "/dev/pst-no-such-port"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "0 printer(s) found\n");
}

TEST_F(Find, WithoutLinksEveryPortOfTheMachineIsAsked)
{
    pst::sim::VirtualPrinter printer({.ptyLink = port(), .speed = 19200});
    printer.start();
    pst::test::FakeTtyTree tree;
    tree.addUsbPort("ttyUSB0", "ftdi_sio", "1-1", "0403", "6001", "FTDI", "FT232R USB UART");
    tree.addNode("ttyUSB0", printer.devicePath());
    tree.addStableName("usb-FTDI_FT232R_USB_UART_A10-if00-port0", "ttyUSB0");
    const std::string environment = "PST_SYSFS_ROOT=" + pst::test::shellQuote(tree.sys().string()) +
        " PST_DEV_ROOT=" + pst::test::shellQuote(tree.dev().string()) + " ";
    const std::string node = (tree.dev() / "ttyUSB0").string();

    const Outcome found = cli({"find", "--json"}, environment);
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "[{\"link\":\"serial\",\"where\":\"" + node +
                             "\",\"speed\":19200,\"model\":\"PNF80\"}]\n");

    const Outcome ports = cli({"list-ports"}, environment);
    EXPECT_EQ(ports.status, 0) << ports.err;
    EXPECT_EQ(ports.out, node + "\n  driver: ftdi_sio\n  USB: FTDI FT232R USB UART (0403:6001)\n  stable name: " +
                             (tree.dev() / "serial" / "by-id" / "usb-FTDI_FT232R_USB_UART_A10-if00-port0").string() +
                             "\n");

    pst::test::FakeTtyTree empty;
    const Outcome nothing = cli({"list-ports"}, "PST_SYSFS_ROOT=" + pst::test::shellQuote(empty.sys().string()) + " ");
    EXPECT_EQ(nothing.out, "No serial ports found.\n");
}

TEST_F(Find, RangeFindsEveryAnsweringPrinterButNotASilentOne)
{
    // A free port on one loopback address; the others take the same one.
    pst::sim::VirtualPrinter first(onNetwork("127.0.0.2:0"));
    first.start();
    const std::string port = std::to_string(first.udpPort());
    pst::sim::VirtualPrinter second(onNetwork("127.0.0.5:" + port));
    second.start();
    pst::sim::VirtualPrinter silent(onNetwork("127.0.0.3:" + port, pst::sim::FaultMode::Silent));
    silent.start();

    const Outcome lines = cli({"find", "--udp-range", "127.0.0.0/29:" + port});
    EXPECT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(lines.out, "udp 127.0.0.2:" + port + " - PNF80\nudp 127.0.0.5:" + port +
                             " - PNF80\n2 printer(s) found\n");
    EXPECT_GE(silent.frames().size(), 1u);  // it was asked, and kept quiet

    const Outcome json = cli({"find", "--json", "--udp-range", "127.0.0.0/29:" + port, "--udp", "127.0.0.6:" + port});
    EXPECT_EQ(json.status, 0) << json.err;
    const auto printers = JsonReader(json.out).array();
    ASSERT_TRUE(printers) << json.out;
    ASSERT_EQ(printers->size(), 2u);
    for (const auto& [printer, address] : {std::pair{printers->at(0), "127.0.0.2"}, {printers->at(1), "127.0.0.5"}}) {
        EXPECT_EQ(printer.size(), 4u);
        EXPECT_EQ(std::get<std::string>(printer.at("link")), "udp");
        EXPECT_EQ(std::get<std::string>(printer.at("where")), address + (":" + port));
        EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(printer.at("speed")));
        EXPECT_EQ(std::get<std::string>(printer.at("model")), "PNF80");
    }

    const Outcome nobody = cli({"find", "--json", "--udp", "127.0.0.3:" + port});
    EXPECT_EQ(nobody.status, 1);
    EXPECT_EQ(nobody.out, "[]\n");
}

TEST_F(Find, BadSearchesAreUsageErrors)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"find", "--udp-range", "10.0.0.0/16"},
                                                                  {"find", "--udp-range", "10.0.0.0"},
                                                                  {"find", "--udp-range", "10.0.0.0/24:0"},
                                                                  {"find", "--udp-range", "10.0.0.0/24", "--udp-range",
                                                                   "10.0.1.0/24"},
                                                                  {"find", "--udp", "10.0.0.1:port"},
                                                                  {"find", "extra"},
                                                                  {"list-ports", "extra"}}) {
        const Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << args.back();
        EXPECT_EQ(o.out, "");
        EXPECT_FALSE(o.err.empty());
    }
    EXPECT_NE(cli({"find", "--udp-range", "10.0.0.0/16"}).err.find("at most 1024"), std::string::npos);
}

TEST_F(Find, CommandAtTheWrongSpeedNamesTheSpeedThatAnswersOrGoesOnAtIt)
{
    pst::sim::VirtualPrinter printer({.ptyLink = port(), .speed = 38400});
    printer.start();
    const Outcome wrong = cli({"--serial", port(), "test"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "Connecting Failed\n  cause: Set Baudrate Failed\n"
                         "The printer answers at 38400 bit/s: use --device-speed 38400\n");

    const Outcome automatic = cli({"--serial", port(), "--auto-speed", "set-codepage", "CP850"});
    EXPECT_EQ(automatic.status, 0) << automatic.err;
    EXPECT_NE(automatic.err.find("The printer answers at 38400 bit/s: going on at that speed\n"), std::string::npos);
    EXPECT_EQ(automatic.out, "Code page set\n");
    EXPECT_NE(printer.stateJson().find("\"codePageName\":\"CP850\""), std::string::npos) << printer.stateJson();

    const Outcome right = cli({"--serial", port(), "--device-speed", "38400", "test"});
    EXPECT_EQ(right.status, 0) << right.err;
    EXPECT_NE(right.out.find("\nModel: PNF80\n"), std::string::npos) << right.out;
}

TEST_F(Find, BroadcastAndMulticastTargetsAreRefused)
{
    for (const char* group : {"255.255.255.255:5100", "239.1.2.3:5100"}) {
        const Outcome o = cli({"find", "--udp", group});
        EXPECT_EQ(o.status, 1) << group;
        EXPECT_EQ(o.out, "0 printer(s) found\n");
        EXPECT_EQ(o.err,
                  std::string("udp ") + group +
                      ": Broadcast and multicast addresses are not a printer's address\n");
    }
}

TEST_F(Find, ALateReplyIsNotCreditedToTheSpeedProbedWhenItComes)
{
    // The one reply at the printer's speed comes after its probe has given
    // up, while a later speed is being probed.
    pst::sim::VirtualPrinter printer(
        {.ptyLink = port(),
         .speed = 115200,
         .fault = {.mode = pst::sim::FaultMode::Late, .count = 1, .lateMs = 900}});
    printer.start();
    const Outcome o = cli({"find", "--serial", port()});
    EXPECT_EQ(o.out, "0 printer(s) found\n") << o.err;
    EXPECT_EQ(printer.currentSpeed(), 115200u);
}
