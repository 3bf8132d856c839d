// Replacing a file all at once on Linux: a save that cannot finish, two
// programs saving the same file at once, links planted beside the file or in
// its place, the permissions the new file gets, and the leftovers of saves
// that were killed.

#include "platform/atomic_file.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

#include "platform/atomic_file_fixture.h"
#include "platform/file_bytes.h"

using namespace pst;

namespace {

std::string readWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One save in several pieces, so that two savers' writes interleave.
bool saveInPieces(const std::string& path, const std::string& content)
{
    AtomicFileWriter writer(path);
    for (std::size_t at = 0; at < content.size(); at += 4096)
        writer.write(std::string_view(content).substr(at, 4096));
    return writer.commit().empty();
}

}  // namespace

TEST_F(AtomicFile, TwoProcessesSavingAtOnceEachLeaveOneWholeVersionAndBothSucceed)
{
    // Different lengths as well as different bytes: a file mixed from both
    // saves, or cut short by one of them, equals neither.
    const std::string mine(80 * 1024, 'p');
    const std::string theirs(48 * 1024, 'c');
    constexpr int kRounds = 8;
    constexpr int kSavesPerRound = 20;

    for (int round = 0; round < kRounds; ++round) {
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Both begin together: the child waits for the parent's byte.
            ::close(start[1]);
            char go = 0;
            if (::read(start[0], &go, 1) != 1)
                ::_exit(2);
            int failures = 0;
            for (int i = 0; i < kSavesPerRound; ++i)
                failures += saveInPieces(path, theirs) ? 0 : 1;
            ::_exit(failures == 0 ? 0 : 1);
        }
        ::close(start[0]);
        ASSERT_EQ(::write(start[1], "g", 1), 1);
        ::close(start[1]);

        int failures = 0;
        int mixed = 0;
        for (int i = 0; i < kSavesPerRound; ++i) {
            failures += saveInPieces(path, mine) ? 0 : 1;
            const std::string now = content();
            mixed += now == mine || now == theirs ? 0 : 1;
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "round " << round << ": the other process saw a save fail";
        EXPECT_EQ(failures, 0) << "round " << round;
        EXPECT_EQ(mixed, 0) << "round " << round << ": the file was neither version";
        const std::string last = content();
        EXPECT_TRUE(last == mine || last == theirs) << "round " << round << ": " << last.size() << " bytes";
        EXPECT_EQ(namesInFolder(), std::set<std::string>{"debug.log"}) << "round " << round;
    }
}

TEST_F(AtomicFile, LinksPlantedAtTemporaryNamesAreNeverFollowed)
{
    const fs::path elsewhere = folder.string() + "-elsewhere";
    fs::create_directories(elsewhere);
    const fs::path victim = elsewhere / "victim";
    const fs::path absent = elsewhere / "absent";
    {
        std::ofstream(victim, std::ios::binary) << "untouched";
    }
    // The old fixed name, the name pattern taken literally, and a few
    // guesses at the random part; one of them dangling, which a plain
    // O_CREAT would have created through.
    const std::vector<std::string> planted = {"debug.log.tmp", "debug.log.XXXXXX", "debug.log.AAAAAA",
                                              "debug.log.000000", "debug.log.aaaaaa"};
    for (const auto& name : planted)
        fs::create_symlink(name == "debug.log.tmp" ? absent : victim, folder / name);

    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(writeFileAtomically(path, "saved " + std::to_string(i)), "");

    EXPECT_EQ(content(), "saved 49");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(readWhole(victim), "untouched");
    EXPECT_FALSE(fs::exists(absent));
    for (const auto& name : planted)
        EXPECT_TRUE(fs::is_symlink(folder / name)) << name;
    EXPECT_EQ(filesInFolder(), planted.size() + 1);  // the links and the file: no temporary left
    fs::remove_all(elsewhere);
}

TEST_F(AtomicFile, SavesThatFailLeaveTheOldContentAndNoTemporary)
{
    // A name that is a folder: the temporary file is written, then the
    // rename is refused, and the temporary must go.
    const fs::path taken = folder / "taken";
    fs::create_directories(taken);
    {
        std::ofstream(taken / "inside", std::ios::binary) << "kept";
    }
    {
        AtomicFileWriter writer(taken.string());
        writer.write(std::string(10000, 'x'));
        EXPECT_NE(writer.commit(), "");
    }
    EXPECT_EQ(namesInFolder(), std::set<std::string>{"taken"});
    EXPECT_EQ(readWhole(taken / "inside"), "kept");
    fs::remove_all(taken);

    // A name so long that no temporary name fits beside it: refused before
    // anything is written, the old file as it was.
    const std::string longName = (folder / std::string(250, 'n')).string();
    {
        std::ofstream(longName, std::ios::binary) << "old";
    }
    EXPECT_EQ(writeFileAtomically(longName, "new"), std::strerror(ENAMETOOLONG));
    EXPECT_EQ(readWhole(longName), "old");
    EXPECT_EQ(filesInFolder(), 1u);

    // Committing twice: the second is refused and changes nothing.
    AtomicFileWriter writer(path);
    writer.write("once");
    ASSERT_EQ(writer.commit(), "");
    EXPECT_NE(writer.commit(), "");
    EXPECT_EQ(content(), "once");
    EXPECT_EQ(filesInFolder(), 2u);
}

TEST_F(AtomicFile, ANewFileFollowsTheUmaskAndAReplacedOneKeepsItsPermissions)
{
    const mode_t before = ::umask(027);
    const std::string error = writeFileAtomically(path, "new");
    ::umask(before);
    ASSERT_EQ(error, "");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

    fs::permissions(path, fs::perms(0604));
    ASSERT_EQ(writeFileAtomically(path, "replaced"), "");
    EXPECT_EQ(content(), "replaced");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0604));
}

TEST_F(AtomicFile, TheNextSaveRemovesOnlyThisUsersLeftoversOfKilledSaves)
{
    const auto plant = [&](const std::string& name, bool old) {
        std::ofstream(folder / name, std::ios::binary) << "partial";
        if (old)
            fs::last_write_time(folder / name, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    };
    plant("1.bin.pst-Ab12Cd", true);       // another file's leftover: removed
    plant("debug.log.pst-Zz99yy", false);  // a save that may still be running
    plant("notes.backup", true);           // a user's file with a six-letter extension
    plant("held.pst-Held00", true);        // old, but its save still holds it
    plant("theirs.pst-Other0", true);      // another user's
    ASSERT_EQ(::chown((folder / "theirs.pst-Other0").c_str(), 12345, 12345), 0);
    fs::create_symlink(folder / "notes.backup", folder / "link.pst-Link00");
    const int held = ::open((folder / "held.pst-Held00").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    ASSERT_EQ(writeFileAtomically(path, "saved"), "");
    ::close(held);
    EXPECT_EQ(namesInFolder(),
              (std::set<std::string>{"debug.log", "debug.log.pst-Zz99yy", "notes.backup", "held.pst-Held00",
                                     "theirs.pst-Other0", "link.pst-Link00"}));
}

TEST_F(AtomicFile, ALinkPlantedInTheFilesPlaceIsReplacedAndItsTargetKept)
{
    const fs::path victim = folder.string() + "-victim";
    {
        std::ofstream(victim, std::ios::binary) << "root's own";
    }
    fs::permissions(victim, fs::perms(0600));
    fs::create_symlink(victim, path);

    const mode_t before = ::umask(022);
    const bool written = writeFileBytes(path, {'n', 'e', 'w'});
    ::umask(before);
    ASSERT_TRUE(written);
    EXPECT_EQ(readWhole(victim), "root's own");
    EXPECT_EQ(fs::status(victim).permissions(), fs::perms(0600));
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(content(), "new");
    // A new file's mode, not the target's.
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
    fs::remove(victim);
}

TEST_F(AtomicFile, AWriteCutShortByAFullDiskKeepsTheOldFile)
{
    ASSERT_TRUE(writeFileBytes(path, std::vector<std::uint8_t>(100, 'o')));
    // The file size limit fails writes as a full disk does, for root too.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(writeFileBytes(path, std::vector<std::uint8_t>(100000, 'n')) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write was not refused";
    EXPECT_EQ(content(), std::string(100, 'o'));
    EXPECT_EQ(namesInFolder(), std::set<std::string>{"debug.log"});
}
