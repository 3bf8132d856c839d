#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/com_port_list.h"
#include "platform/serial_ports.h"

namespace pst {
namespace {

namespace fs = std::filesystem;

// A made-up /sys/class/tty.
class SerialPortsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("pst-tty-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "devices");
    }
    void TearDown() override { fs::remove_all(root); }

    // A tty with a device behind it; `type` is written when not empty.
    void addPort(const std::string& name, const std::string& type = {})
    {
        fs::create_directories(root / "devices" / name);
        fs::create_directories(root / name);
        fs::create_directory_symlink(root / "devices" / name, root / name / "device");
        if (!type.empty())
            std::ofstream(root / name / "type") << type << "\n";
    }
    void addVirtualTty(const std::string& name) { fs::create_directories(root / name); }

    std::vector<std::string> list() const { return listSerialPorts(root.string(), "/dev"); }

    fs::path root;
};

TEST_F(SerialPortsTest, ListsPortsWithHardwareInNaturalOrder)
{
    addPort("ttyS10", "4");
    addPort("ttyS2", "4");
    addPort("ttyS1", "0");  // registered by the driver, no UART behind it
    addPort("ttyS3");       // no type at all: not a port either
    addPort("ttyUSB0");
    addPort("ttyACM1");
    addPort("ttyAMA0");  // any other tty with a device
    addVirtualTty("tty0");
    addVirtualTty("ptmx");
    addVirtualTty("console");

    EXPECT_EQ(list(),
              (std::vector<std::string>{"/dev/ttyACM1", "/dev/ttyAMA0", "/dev/ttyS2", "/dev/ttyS10",
                                        "/dev/ttyUSB0"}));
}

TEST_F(SerialPortsTest, NumbersSortByValue)
{
    for (const char* name : {"ttyUSB10", "ttyUSB9", "ttyUSB1", "ttyUSB100"})
        addPort(name);
    EXPECT_EQ(list(),
              (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB9", "/dev/ttyUSB10", "/dev/ttyUSB100"}));
}

TEST_F(SerialPortsTest, MissingOrEmptyFolderListsNothing)
{
    EXPECT_TRUE(list().empty());
    EXPECT_TRUE(listSerialPorts((root / "absent").string()).empty());
}

TEST(ComPortChoicesTest, NoPortGivesCom1ToCom30WithNoneChosen)
{
    const app::ComPortChoices choices = app::comPortChoices({});
    ASSERT_EQ(choices.items.size(), 30u);
    EXPECT_EQ(choices.items.front(), "COM1");
    EXPECT_EQ(choices.items.back(), "COM30");
    EXPECT_FALSE(choices.selectFirst);
}

TEST(ComPortChoicesTest, NamedPortsComeFirstAndAreNotRepeated)
{
    const app::ComPortChoices choices = app::comPortChoices({"/dev/ttyS0", "/dev/ttyUSB0"}, {"/dev/ttyUSB0"});
    EXPECT_EQ(choices.items, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyS0"}));
    EXPECT_TRUE(choices.selectFirst);
}

}  // namespace
}  // namespace pst
