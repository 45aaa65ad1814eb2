#include "support/TemporaryWorkingDirectory.h"
#include "terminal/CaptureFile.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace {

// Names the system would open as a device are turned away before any open: a pipe that is
// not there would otherwise fail with "cannot find the file", and a \\?\ file be made.
TEST(CaptureFile, DeviceNamesAreTurnedAwayBeforeTheyAreOpened) {
    TemporaryWorkingDirectory cwd;
    const std::string folder = cwd.Path().string();
    const std::pair<std::string, bool> rows[] = {
        {R"(\\.\COM7)", true},
        {R"(\\.\pipe\quenlark-nowhere)", true},
        {R"(\\?\)" + folder + R"(\long.bin)", true},
        {"//./nul", true},
        {"CON", true},
        {"nul.txt", true},
        {"Aux.tar.gz", true},
        {"prn .bin", true},
        {"missing\\com1.bin", true},
        {"C:lpt9", true},
        {"COM10", false},
        {"com0.bin", false},
        {"console.bin", false},
        {"nul-modem.bin", false},
    };
    for (const auto& [path, refused] : rows) {
        CaptureFile file;
        EXPECT_EQ(file.Open(path), !refused) << path;
        EXPECT_EQ(file.ErrorText(), refused ? CaptureFile::kNoDiskFileText : "") << path;
    }
}

}  // namespace
