#include "ChildProcess.h"
#include "FileBytes.h"
#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"
#include "support/TemporaryFolder.h"
#include "support/WorkingDirectory.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

// Each case runs the load or save in an unprivileged child, in its folder as current
// directory, and checks the files from the parent afterwards.

namespace {

using Names = std::vector<std::string>;

const std::string kOldBytes = "2\r\n01,02\r\n0\r\nAT\r\n";

SendLinesToSave NewLines() {
    SendLinesToSave lines;
    lines[0] = {1, "001,002"};
    return lines;
}

// Exit statuses of the children.
constexpr int kAsExpected = 0;
constexpr int kUnexpected = 1;

// A folder of its own inside `parent`, owned by the unprivileged user, with `mode`.
std::string OwnFolder(const TemporaryFolder& parent, mode_t mode) {
    const std::string folder = parent / "work";
    std::filesystem::create_directory(folder);
    GiveToUnprivilegedUser(folder);
    EXPECT_EQ(chmod(folder.c_str(), mode), 0);
    return folder;
}

// The parameters file in `folder` with the old bytes and `mode`, owned by the unprivileged user.
std::string OwnFile(const std::string& folder, mode_t mode) {
    const std::string path = folder + "/VwData.dat";
    WriteFileBytes(path, kOldBytes);
    GiveToUnprivilegedUser(path);
    EXPECT_EQ(chmod(path.c_str(), mode), 0);
    return path;
}

int SaveInChild(const std::string& folder) {
    return RunAsUnprivilegedUser([&] {
        const WorkingDirectory inside(folder);
        return SaveParametersFile(ParametersFilePath(), NewLines()) ? kUnexpected : kAsExpected;
    });
}

// Shows that the children can work at all, so that the failures below come from the
// permissions alone; the file keeps its mode and its owner.
TEST(ParametersFilePermission, UnprivilegedUserSavesAndLoadsItsOwnFile) {
    TemporaryFolder parent;
    const std::string folder = OwnFolder(parent, 0755);
    const std::string path = OwnFile(folder, 0600);
    const int status = RunAsUnprivilegedUser([&] {
        const WorkingDirectory inside(folder);
        if (!SaveParametersFile(ParametersFilePath(), NewLines())) {
            return 2;
        }
        const std::optional<LoadedSendLines> lines = LoadParametersFile(ParametersFilePath());
        return lines && (*lines)[0] == LoadedSendLine{1, "001,002"} ? kAsExpected : 3;
    });
    EXPECT_EQ(status, kAsExpected);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 14), "1\r\n001,002\r\n-1");
    struct stat status2 {};
    ASSERT_EQ(stat(path.c_str(), &status2), 0);
    EXPECT_EQ(status2.st_mode & 07777, 0600u);
    if (geteuid() == 0) {
        EXPECT_EQ(status2.st_uid, kUnprivilegedId);
    }
}

// The folder would allow the replacement; the file itself may not be written.
TEST(ParametersFilePermission, ReadOnlyFileKeepsItsBytes) {
    TemporaryFolder parent;
    const std::string folder = OwnFolder(parent, 0755);
    const std::string path = OwnFile(folder, 0444);
    EXPECT_EQ(SaveInChild(folder), kAsExpected);
    EXPECT_EQ(ReadFileBytes(path), kOldBytes);
    EXPECT_EQ(FolderEntries(folder), Names{"VwData.dat"});
}

TEST(ParametersFilePermission, FileOfAnotherUserKeepsItsBytes) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs a file of another user";
    }
    TemporaryFolder parent;
    const std::string folder = OwnFolder(parent, 0777);
    const std::string path = folder + "/VwData.dat";
    WriteFileBytes(path, kOldBytes);
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(SaveInChild(folder), kAsExpected);
    EXPECT_EQ(ReadFileBytes(path), kOldBytes);
    EXPECT_EQ(FolderEntries(folder), Names{"VwData.dat"});
}

// The file may be written, but its folder takes no new file.
TEST(ParametersFilePermission, ReadOnlyFolderKeepsTheFile) {
    TemporaryFolder parent;
    const std::string folder = OwnFolder(parent, 0755);
    const std::string path = OwnFile(folder, 0644);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    EXPECT_EQ(SaveInChild(folder), kAsExpected);
    EXPECT_EQ(ReadFileBytes(path), kOldBytes);
    EXPECT_EQ(FolderEntries(folder), Names{"VwData.dat"});
}

TEST(ParametersFilePermission, ReadOnlyFolderGetsNoFile) {
    TemporaryFolder parent;
    const std::string folder = OwnFolder(parent, 0555);
    EXPECT_EQ(SaveInChild(folder), kAsExpected);
    EXPECT_EQ(FolderEntries(folder), Names{});
}

TEST(ParametersFilePermission, UnreadableFileDoesNotOpen) {
    TemporaryFolder parent;
    const std::string folder = OwnFolder(parent, 0755);
    OwnFile(folder, 0200);
    const int status = RunAsUnprivilegedUser([&] {
        const WorkingDirectory inside(folder);
        return LoadParametersFile(ParametersFilePath()) ? kUnexpected : kAsExpected;
    });
    EXPECT_EQ(status, kAsExpected);
}

}  // namespace
