// Replacing a file all at once: what the folder holds after a save, a save
// given up half way, and a save that cannot start.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/atomic_file.h"

using namespace pst;
namespace fs = std::filesystem;

namespace {

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
            ("pst-atomic-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        path = (folder / "debug.log").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string content() const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path folder;
    std::string path;
};

}  // namespace

TEST_F(AtomicFile, PiecesReplaceTheOldContentOnlyWhenCommitted)
{
    ASSERT_EQ(writeFileAtomically(path, "old"), "");
    {
        AtomicFileWriter writer(path);
        writer.write("new ");
        writer.write(std::string(100000, 'x'));
        EXPECT_EQ(content(), "old");  // nothing changes before the commit
        EXPECT_EQ(writer.commit(), "");
    }
    EXPECT_EQ(content().size(), 100004u);
    EXPECT_EQ(content().substr(0, 5), "new x");
    EXPECT_EQ(filesInFolder(), 1u);  // no temporary file left behind
}

TEST_F(AtomicFile, AWriterGivenUpLeavesTheOldFileAndNoTemporary)
{
    ASSERT_EQ(writeFileAtomically(path, "old"), "");
    {
        AtomicFileWriter writer(path);
        writer.write("half a log");
    }
    EXPECT_EQ(content(), "old");
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(AtomicFile, AFolderThatIsMissingIsReportedAndNothingIsCreated)
{
    AtomicFileWriter writer((folder / "missing" / "debug.log").string());
    writer.write("text");
    EXPECT_EQ(writer.commit(), std::strerror(ENOENT));
    EXPECT_EQ(filesInFolder(), 0u);
}
