#include "FileBytes.h"
#include "ParametersCases.h"
#include "params/ParametersFile.h"
#include "params/ReplacementFile.h"
#include "support/TemporaryFolder.h"
#include "support/WriteProtection.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TEST(ReplacementFile, SuccessfulSaveLeavesNoTemporaryFile) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    ASSERT_TRUE(SaveParametersFile(path, NewLines()));
    WriteFileBytes(path, kOldBytes);
    ASSERT_TRUE(SaveParametersFile(path, NewLines()));
    EXPECT_EQ(ReadFileBytes(path), kNewBytes);
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"VwData.dat"});
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

TEST(ReplacementFile, WriteOrCommitWithoutOpenFails) {
    ReplacementFile file;
    EXPECT_FALSE(file.Write("b"));
    EXPECT_FALSE(file.Commit());
}

// A second Open gives up the first temporary file.
TEST(ReplacementFile, ReopeningDiscardsTheFirstAttempt) {
    TemporaryFolder folder;
    ReplacementFile file;
    ASSERT_TRUE(file.Open(folder / "a.dat"));
    ASSERT_TRUE(file.Open(folder / "b.dat"));
    ASSERT_TRUE(file.Write("b"));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"b.dat"});
    EXPECT_EQ(ReadFileBytes(folder / "b.dat"), "b");
}

// The move would replace even a file that may not be written; the save must not.
TEST(ReplacementFile, ReadOnlyFileIsNeverReplaced) {
    if (!WriteProtectionHolds()) {
        GTEST_SKIP() << "this user may write any file; see ParametersFilePermission";
    }
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    WriteFileBytes(path, kOldBytes);
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(SaveParametersFile(path, NewLines()));
    EXPECT_EQ(ReadFileBytes(path), kOldBytes);
    EXPECT_EQ(FolderEntries(folder.Path()), Names{"VwData.dat"});
}

}  // namespace
