// What pennafor-cli writes cannot be turned against the user: a link planted
// at the logo bank is not written through, a read cut short keeps the old
// output, and a data folder another user controls gets nothing.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/download_cli_fixture.h"

namespace fs = std::filesystem;
using pst::test::DownloadCli;

namespace {

bool holdsATemporaryOf(const fs::path& folder, const std::string& name)
{
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().rfind(name + ".pst-", 0) == 0)
            return true;
    return false;
}

}  // namespace

TEST_F(DownloadCli, ALinkPlantedAtTheLogoBankIsReplacedNotWrittenThrough)
{
    startPrinter();
    const fs::path victim = folder.string() + "-victim";
    std::ofstream(victim, std::ios::binary) << "root's own";
    fs::permissions(victim, fs::perms(0600));
    fs::create_symlink(victim, folder / "1.bin");

    const auto o = cli({"download-logos", bmp("a.bmp", 8, 8)});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(pst::test::readFile(victim), "root's own");
    EXPECT_EQ(fs::status(victim).permissions(), fs::perms(0600));
    EXPECT_FALSE(fs::is_symlink(folder / "1.bin"));
    EXPECT_GT(fs::file_size(folder / "1.bin"), 0u);
    fs::remove(victim);
}

TEST_F(DownloadCli, AReadKilledWhileSavingKeepsTheOldOutputWhole)
{
    startPrinter();
    const std::string back = write("back.bin", std::vector<std::uint8_t>(100, 'o'));
    // A file size limit below the read's size: the save is killed
    // (SIGXFSZ) in the middle of writing it.
    const auto o =
        runCli({"--data-dir", folder.string(), "--serial", port(), "read-memory", "20000", "4000", back},
               "sh -c 'ulimit -f 4; exec \"$0\" \"$@\"' ");
    EXPECT_NE(o.status, 0) << o.out << o.err;
    EXPECT_TRUE(holdsATemporaryOf(folder, "back.bin")) << "the save was not under way";
    EXPECT_EQ(pst::test::readFile(back), std::string(100, 'o'));
}

TEST_F(DownloadCli, ADataFolderOthersControlIsRefusedAndGetsNothing)
{
    const std::string picture = bmp("a.bmp", 8, 8);
    const fs::path theirs = folder / "theirs";
    fs::create_directories(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), 12345, 12345), 0);
    auto o = runCli(
        {"--data-dir", theirs.string(), "--language", "en", "--serial", port(), "download-logos", picture});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("The data folder " + theirs.string() + " belongs to another user"),
              std::string::npos)
        << o.err;
    EXPECT_TRUE(fs::is_empty(theirs));

    // Root's own, but group members may write to it.
    const fs::path shared = folder / "shared";
    fs::create_directories(shared);
    fs::permissions(shared, fs::perms(0775));
    o = runCli(
        {"--data-dir", shared.string(), "--language", "zh", "--serial", port(), "download-logos", picture});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("不属于当前用户"), std::string::npos) << o.err;
    EXPECT_TRUE(fs::is_empty(shared));
}
