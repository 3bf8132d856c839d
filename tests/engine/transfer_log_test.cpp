#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "engine/transfer_log.h"
#include "protocol/command_packet.h"

using namespace pst;

namespace {

// The dump lines of `bytes` as the log holds them under their heading, each
// checked for its CR LF.
std::vector<std::string> dump(const std::vector<std::uint8_t>& bytes)
{
    TransferLog log;
    log.addTransfer("Send", bytes.data(), bytes.size());
    const std::string text = log.text();
    std::vector<std::string> lines;
    for (std::size_t at = text.find("\r\n") + 2; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
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

    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();  // closed again before the next save
    const std::string saved = text.str();
    EXPECT_EQ(saved.rfind("Send 2 Bytes ", 0), 0u);
    EXPECT_NE(saved.find("\r\n    02 00 "), std::string::npos);
    EXPECT_EQ(saved.substr(saved.size() - 12), "Open/dev/x\r\n");

    log.clear();
    ASSERT_EQ(log.saveTo(path), "");
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST_F(TransferLogFile, ALongRunSavesExactlyWhatItShows)
{
    // Enough for several pieces of output, a line longer than one piece, and
    // transfers of the two directions as a download logs them.
    TransferLog log;
    log.addLine(std::string(70000, 'L'));
    std::vector<std::uint8_t> block(273);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 400; ++i) {
        log.addTransfer("Send", block.data(), block.size());
        log.addTransfer("Receive", block.data(), 16);
    }
    const std::string shown = log.text();
    EXPECT_EQ(shown.substr(70000, 17), "\r\nSend 273 Bytes ");
    // 18 dump lines of 81 characters after each send heading.
    const std::size_t send = shown.find("Send 273 Bytes");
    const std::size_t receive = shown.find("Receive 16 Bytes", send);
    EXPECT_EQ(receive - send, 14 + 23 + 2 + 18 * 81u);

    const auto path = (folder / "debug.log").string();
    ASSERT_EQ(log.saveTo(path), "");
    std::ifstream in(path, std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(saved.str(), shown);
}

TEST_F(TransferLogFile, ALongTransferKeepsItsFirstAndLastBlocksAndCountsTheRest)
{
    // 4100 blocks: a send naming its number, and the reply in two reads.
    TransferLog log;
    log.addLine("Open");
    const std::uint8_t reply[16] = {};
    for (int i = 0; i < 4100; ++i) {
        const std::uint8_t block[4] = {static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i), 0xAA, 0x55};
        log.addTransfer("Send", block, 4);
        log.addTransfer("Receive", reply, 6);
        log.addTransfer("Receive", reply + 6, 10);
    }
    log.addLine("Close");
    // A heading opens a section bounded on its own: the few blocks after it
    // are all shown, and move nothing of the long section out of view.
    log.addHeading("---- after ----");
    for (int i = 0; i < 3; ++i)
        log.addTransfer("Send", reply, 2);
    const auto shows = [](const std::string& text, int i) {
        const char hex[] = "0123456789abcdef";
        const std::string number{hex[(i >> 12) & 15], hex[(i >> 8) & 15], ' ', hex[(i >> 4) & 15], hex[i & 15]};
        return text.find("\r\n    " + number + " aa 55 ") != std::string::npos;
    };
    const auto count = [](const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };

    const std::string bounded = log.text();
    EXPECT_EQ(bounded.rfind("Open\r\n", 0), 0u);
    EXPECT_NE(bounded.find("\r\nClose\r\n---- after ----\r\nSend 2 Bytes "), std::string::npos);
    EXPECT_EQ(count(bounded, "Send 2 Bytes"), 3u);
    EXPECT_EQ(count(bounded, "Send 4 Bytes"), 2 * TransferLog::kShownBlocks);
    EXPECT_EQ(count(bounded, "Receive "), 4 * TransferLog::kShownBlocks);
    EXPECT_EQ(count(bounded, "\r\n... 4000 blocks not shown ...\r\nSend 4 Bytes "), 1u);
    for (const int kept : {0, 49, 4050, 4099})
        EXPECT_TRUE(shows(bounded, kept)) << kept;
    for (const int hidden : {50, 4049})
        EXPECT_FALSE(shows(bounded, hidden)) << hidden;
    EXPECT_LT(bounded.size(), 40'000u);

    log.keepEveryBlock(true);
    const std::string full = log.text();
    EXPECT_EQ(count(full, "Send 4 Bytes"), 4100u);
    EXPECT_EQ(full.find("not shown"), std::string::npos);
}

// A read-only folder is a Linux notion: Windows' read-only mark on a folder
// does not stop files from being made in it.
#ifndef _WIN32
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
#endif

TEST_F(TransferLogFile, ReportsAMissingFolder)
{
    TransferLog log;
    EXPECT_NE(log.saveTo((folder / "missing" / "debug.log").string()), "");
}
