#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/transfer_log.h"
#include "protocol/command_packet.h"

using namespace pst;

namespace {

std::vector<std::string> dump(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::string> lines;
    appendHexDump(lines, bytes.data(), bytes.size());
    return lines;
}

}  // namespace

TEST(HexDump, SpeedSwitchPacketGivesOneExactLine)
{
    const auto packet = buildCommandPacket(0x31, 4, 0, {});
    const auto lines = dump(packet);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "    02 00 31 00 04 00 00 00    00 00 00 00 00 00 37 00        ;  1           7 ");
}

TEST(HexDump, EveryLineIs79CharactersWhateverTheLength)
{
    for (std::size_t count : {1u, 8u, 9u, 16u, 17u, 33u}) {
        std::vector<std::uint8_t> bytes(count, 0x41);
        const auto lines = dump(bytes);
        EXPECT_EQ(lines.size(), (count + 15) / 16) << count;
        for (const auto& line : lines)
            EXPECT_EQ(line.size(), 79u) << count;
    }
    EXPECT_TRUE(dump({}).empty());

    // The short last line keeps its columns: one byte, then blanks.
    const auto seventeen = dump(std::vector<std::uint8_t>(17, 0x41));
    EXPECT_EQ(seventeen[1], "    41" + std::string(56, ' ') + ";A" + std::string(15, ' '));
    // The ninth byte starts the second group after three blanks.
    const auto nine = dump(std::vector<std::uint8_t>(9, 0xAB));
    EXPECT_EQ(nine[0].substr(0, 34), "    ab ab ab ab ab ab ab ab    ab ");
}

TEST(HexDump, BlankAndControlBytesShowAsBlanks)
{
    const auto lines = dump({0x00, 0x09, 0x1F, 0x20, 0x21, 0x7E, 0x7F});
    EXPECT_EQ(lines[0].substr(63, 7), std::string("    !~\x7f"));
}

TEST(TimeStamp, FormatsTwoDigitDateTimeAndThreeDigitMilliseconds)
{
    std::tm t{};
    t.tm_year = 124;  // 2024
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    EXPECT_EQ(formatTimeStamp(t, 42), " 24-03-05 14:07:09 042 ");
    EXPECT_EQ(formatTimeStamp(t, 999), " 24-03-05 14:07:09 999 ");
    EXPECT_EQ(timeStampNow().size(), 23u);
}

class TransferLogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
            ("pst-log-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
};

TEST_F(TransferLogFile, SavesLinesWithCrLfAndReplacesThePreviousFile)
{
    TransferLog log;
    const std::uint8_t bytes[] = {0x02, 0x00};
    log.addTransfer("Send", bytes, 2);
    log.addLine("Open/dev/x");
    const auto path = (folder / "debug.log").string();
    ASSERT_EQ(log.saveTo(path), "");

    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string saved = text.str();
    EXPECT_EQ(saved.rfind("Send 2 Bytes ", 0), 0u);
    EXPECT_NE(saved.find("\r\n    02 00 "), std::string::npos);
    EXPECT_EQ(saved.substr(saved.size() - 12), "Open/dev/x\r\n");

    log.clear();
    ASSERT_EQ(log.saveTo(path), "");
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(TransferLogFile, ReportsWhyAnUnwritableFolderFails)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::permissions(folder,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    TransferLog log;
    log.addLine("x");
    EXPECT_NE(log.saveTo((folder / "debug.log").string()), "");
}

TEST_F(TransferLogFile, ReportsAMissingFolder)
{
    TransferLog log;
    EXPECT_NE(log.saveTo((folder / "missing" / "debug.log").string()), "");
}
