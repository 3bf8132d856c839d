// Replacing a file all at once, on every system: what the folder holds
// after a save, a save given up half way, and a save that cannot start.

#include "platform/atomic_file.h"

#include "platform/atomic_file_fixture.h"

using namespace pst;

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
    EXPECT_NE(writer.commit(), "");  // in the system's words
    EXPECT_EQ(filesInFolder(), 0u);
}

