#include "FileBytes.h"
#include "ParametersCases.h"
#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"
#include "support/TemporaryFolder.h"
#include "support/WorkingDirectory.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

// Files and folders that only Linux makes: pipes, folders deeper than a Windows path, a
// current directory that has been removed.

namespace {

namespace fs = std::filesystem;

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

}  // namespace
