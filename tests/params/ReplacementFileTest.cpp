#include "ChildProcess.h"
#include "FileBytes.h"
#include "params/ParametersFile.h"
#include "params/ReplacementFile.h"
#include "support/TemporaryFolder.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kOldBytes = "1\r\nold text\r\n";

SendLinesToSave NewLines() {
    SendLinesToSave lines;
    lines[0] = {2, "01,03,00,00,00,01"};
    return lines;
}

const std::string kNewBytes = "2\r\n01,03,00,00,00,01\r\n-1\r\n\r\n-1\r\n\r\n-1\r\n\r\n-1\r\n\r\n";

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// The one entry of `folder` besides `known`; empty when there is none or more than one.
std::string OtherEntry(const std::string& folder, const std::string& known) {
    std::string other;
    for (const std::string& name : FolderEntries(folder)) {
        if (name != known) {
            if (!other.empty()) {
                return {};
            }
            other = name;
        }
    }
    return other;
}

TEST(ReplacementFile, SuccessfulSaveLeavesNoTemporaryFile) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    ASSERT_TRUE(SaveParametersFile(path, NewLines()));
    WriteFileBytes(path, kOldBytes);
    ASSERT_TRUE(SaveParametersFile(path, NewLines()));
    EXPECT_EQ(ReadFileBytes(path), kNewBytes);
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"VwData.dat"});
}

TEST(ReplacementFile, ExistingFileKeepsItsPermissions) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    for (const mode_t mode : {0600, 0640, 0604, 0755, 0666}) {
        WriteFileBytes(path, kOldBytes);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(SaveParametersFile(path, NewLines()));
        EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
    }
}

TEST(ReplacementFile, NewFileGetsTheUsualPermissions) {
    TemporaryFolder folder;
    const mode_t previous = umask(027);
    const bool saved = SaveParametersFile(folder / "VwData.dat", NewLines());
    umask(previous);
    ASSERT_TRUE(saved);
    EXPECT_EQ(ModeOf(folder / "VwData.dat"), 0640u);
}

TEST(ReplacementFile, ExistingFileKeepsItsOwnerWhenRootSaves) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root may hand a file to another user";
    }
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    WriteFileBytes(path, kOldBytes);
    GiveToUnprivilegedUser(path);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(SaveParametersFile(path, NewLines()));
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kUnprivilegedId);
    EXPECT_EQ(status.st_gid, kUnprivilegedId);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

// The link stays a link and the file it names gets the content, beside its own folder's files.
TEST(ReplacementFile, SymbolicLinkIsWrittenThrough) {
    TemporaryFolder folder;
    fs::create_directory(folder / "here");
    fs::create_directory(folder / "there");
    const std::string link = folder / "here/VwData.dat";
    const std::string target = folder / "there/kept.dat";
    WriteFileBytes(target, kOldBytes);
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    fs::create_symlink("../there/kept.dat", link);

    EXPECT_EQ(LoadParametersFile(link).value()[0].text, "old text");
    ASSERT_TRUE(SaveParametersFile(link, NewLines()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "../there/kept.dat");
    EXPECT_EQ(ReadFileBytes(target), kNewBytes);
    EXPECT_EQ(ModeOf(target), 0600u);
    EXPECT_EQ(FolderEntries(folder / "here"), Names{"VwData.dat"});
    EXPECT_EQ(FolderEntries(folder / "there"), Names{"kept.dat"});
}

TEST(ReplacementFile, ChainOfLinksAndLinkToAFileNotYetWritten) {
    TemporaryFolder folder;
    const std::string link = folder / "VwData.dat";
    fs::create_symlink("second", link);
    fs::create_symlink(folder / "third", folder / "second");
    fs::create_symlink("missing.dat", folder / "third");
    ASSERT_TRUE(SaveParametersFile(link, NewLines()));
    EXPECT_EQ(ReadFileBytes(folder / "missing.dat"), kNewBytes);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(link), kNewBytes);
    EXPECT_EQ(FolderEntries(folder.Path()),
              (Names{"VwData.dat", "missing.dat", "second", "third"}));
}

TEST(ReplacementFile, LinkLoopNeitherLoadsNorSaves) {
    TemporaryFolder folder;
    const std::string link = folder / "VwData.dat";
    fs::create_symlink("other", link);
    fs::create_symlink("VwData.dat", folder / "other");
    EXPECT_FALSE(LoadParametersFile(link));
    EXPECT_FALSE(SaveParametersFile(link, NewLines()));
    EXPECT_EQ(fs::read_symlink(link), "other");
    EXPECT_EQ(FolderEntries(folder.Path()), (Names{"VwData.dat", "other"}));
}

// At the last moment before the replacement the new content is complete beside the old file;
// a failure then leaves the old file and takes the new content away.
TEST(ReplacementFile, FailureRightBeforeTheReplacementKeepsTheOldFile) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    WriteFileBytes(path, kOldBytes);
    bool reached = false;
    EXPECT_FALSE(SaveParametersFile(path, NewLines(), [&] {
        reached = true;
        const std::string temporary = OtherEntry(folder.Path(), "VwData.dat");
        EXPECT_NE(temporary, "");
        EXPECT_EQ(ReadFileBytes(folder / temporary), kNewBytes);
        EXPECT_EQ(ReadFileBytes(path), kOldBytes);
        return false;
    }));
    EXPECT_TRUE(reached);
    EXPECT_EQ(ReadFileBytes(path), kOldBytes);
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"VwData.dat"});

    // Without an old file, nothing is left at all.
    TemporaryFolder empty;
    EXPECT_FALSE(SaveParametersFile(empty / "VwData.dat", NewLines(), [] { return false; }));
    EXPECT_EQ(FolderEntries(empty.Path()), Names{});
}

// A process that dies at that moment cannot clean up: the old file is intact, the complete
// new content is left beside it under another name, and the next save works as usual.
TEST(ReplacementFile, CrashRightBeforeTheReplacementKeepsTheOldFile) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    WriteFileBytes(path, kOldBytes);
    constexpr int kDiedThere = 42;
    const int status = RunInChildProcess([&] {
        SaveParametersFile(path, NewLines(), [] {
            _exit(kDiedThere);
            return true;
        });
        return 1;
    });
    ASSERT_EQ(status, kDiedThere);
    EXPECT_EQ(ReadFileBytes(path), kOldBytes);
    EXPECT_EQ(LoadParametersFile(path).value()[0].text, "old text");
    const std::string leftOver = OtherEntry(folder.Path(), "VwData.dat");
    ASSERT_NE(leftOver, "");
    EXPECT_EQ(leftOver.rfind(".VwData.dat.", 0), 0u) << leftOver;
    EXPECT_EQ(ReadFileBytes(folder / leftOver), kNewBytes);

    ASSERT_TRUE(SaveParametersFile(path, NewLines()));
    EXPECT_EQ(ReadFileBytes(path), kNewBytes);
}

// A file size limit makes the writes fail part-way, as a full disk does.
TEST(ReplacementFile, WriteFailurePartWayKeepsTheOldFile) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    WriteFileBytes(path, kOldBytes);
    const int status = RunInChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10, 10};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return kChildSetupFailed;
        }
        return SaveParametersFile(path, NewLines()) ? 1 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileBytes(path), kOldBytes);
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"VwData.dat"});
}

TEST(ReplacementFile, CommitWithoutOpenFails) {
    ReplacementFile file;
    EXPECT_EQ(file.Descriptor(), -1);
    EXPECT_FALSE(file.Commit());
}

// A second Open gives up the first temporary file.
TEST(ReplacementFile, ReopeningDiscardsTheFirstAttempt) {
    TemporaryFolder folder;
    ReplacementFile file;
    ASSERT_TRUE(file.Open(folder / "a.dat"));
    ASSERT_TRUE(file.Open(folder / "b.dat"));
    ASSERT_EQ(write(file.Descriptor(), "b", 1), 1);
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"b.dat"});
    EXPECT_EQ(ReadFileBytes(folder / "b.dat"), "b");
}

}  // namespace
