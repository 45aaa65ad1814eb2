#include "FileBytes.h"
#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"
#include "support/TemporaryFolder.h"
#include "support/WorkingDirectory.h"

#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

SendLinesToSave OneText(const std::string& text) {
    SendLinesToSave lines;
    lines[0] = {0, text};
    return lines;
}

std::optional<std::string> FirstText(const std::optional<LoadedSendLines>& lines) {
    return lines ? (*lines)[0].text : std::nullopt;
}

TEST(ParametersFilePath, IsTheCurrentDirectoryJoinedWithTheName) {
    TemporaryFolder folder;
    const WorkingDirectory inside(folder.Path());
    EXPECT_EQ(ParametersFilePath(), fs::canonical(folder.Path()).string() + "/VwData.dat");
}

TEST(ParametersFilePath, RootGetsNoDoubleSeparator) {
    const WorkingDirectory inside("/");
    EXPECT_EQ(ParametersFilePath(), "/VwData.dat");
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
