#include "ChildProcess.h"
#include "FileBytes.h"
#include "ParametersCases.h"
#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"
#include "support/TemporaryFolder.h"
#include "support/WorkingDirectory.h"

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

// What only Linux has: pipes, folders deeper than a Windows path, a current directory that
// has been removed, and what a save keeps of a file (its permissions, its owner, the link
// that names it); and failures that need a process of their own.

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// No writer holds the pipe: opening it must neither wait nor load it as an empty file.
TEST(ParametersFile, PipeNeitherLoadsNorSaves) {
    TemporaryFolder folder;
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0644), 0);
    EXPECT_FALSE(LoadParametersFile(folder / "pipe"));
    EXPECT_FALSE(SaveParametersFile(folder / "pipe", OneText("lost")));
}

// Far longer than the 255 characters a fixed buffer would hold.
TEST(ParametersFilePath, DeepCurrentDirectoryWorks) {
    TemporaryFolder folder;
    std::string deep = folder.Path();
    while (deep.size() < 1500) {
        deep += "/" + std::string(60, 'd');
    }
    fs::create_directories(deep);
    const WorkingDirectory inside(deep);
    const std::string path = ParametersFilePath();
    EXPECT_EQ(path, fs::canonical(deep).string() + "/VwData.dat");
    ASSERT_TRUE(SaveParametersFile(path, OneText("deep")));
    EXPECT_EQ(FirstText(LoadParametersFile(path)), "deep");
    EXPECT_TRUE(fs::is_regular_file(deep + "/VwData.dat"));
}

TEST(ParametersFilePath, RemovedCurrentDirectoryGivesNoPath) {
    TemporaryFolder folder;
    const std::string gone = folder / "gone";
    fs::create_directory(gone);
    const WorkingDirectory inside(gone);
    fs::remove(gone);
    EXPECT_EQ(ParametersFilePath(), "");
    EXPECT_FALSE(LoadParametersFile(ParametersFilePath()));
    EXPECT_FALSE(SaveParametersFile(ParametersFilePath(), OneText("lost")));
}

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
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

}  // namespace
