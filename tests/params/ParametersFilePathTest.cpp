#include "FileBytes.h"
#include "ParametersCases.h"
#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"
#include "support/TemporaryFolder.h"
#include "support/WorkingDirectory.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(ParametersFilePath, IsTheCurrentDirectoryJoinedWithTheName) {
    TemporaryFolder folder;
    const WorkingDirectory inside(folder.Path());
    EXPECT_EQ(ParametersFilePath(), (fs::canonical(folder.Path()) / "VwData.dat").string());
}

TEST(ParametersFilePath, RootGetsNoDoubleSeparator) {
    const std::string root = fs::current_path().root_path().string();
    const WorkingDirectory inside(root);
    EXPECT_EQ(ParametersFilePath(), root + "VwData.dat");
}

TEST(ParametersFilePath, EachCurrentDirectoryHasItsOwnFile) {
    TemporaryFolder first;
    TemporaryFolder second;
    {
        const WorkingDirectory inside(first.Path());
        ASSERT_TRUE(SaveParametersFile(ParametersFilePath(), OneText("first")));
    }
    {
        const WorkingDirectory inside(second.Path());
        EXPECT_FALSE(LoadParametersFile(ParametersFilePath())) << "not written here yet";
        ASSERT_TRUE(SaveParametersFile(ParametersFilePath(), OneText("second")));
    }
    {
        const WorkingDirectory inside(first.Path());
        EXPECT_EQ(FirstText(LoadParametersFile(ParametersFilePath())), "first");
    }
    EXPECT_EQ(FirstText(LoadParametersFile(second / "VwData.dat")), "second");
    EXPECT_EQ(FolderEntries(first.Path()), std::vector<std::string>{"VwData.dat"});
}

}  // namespace
