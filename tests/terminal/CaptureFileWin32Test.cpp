#include "support/TemporaryWorkingDirectory.h"
#include "terminal/CaptureFile.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Names the system would open as a device are turned away before any open: a pipe that is
// not there would otherwise fail with "cannot find the file", and a \\?\ file be made.
TEST(CaptureFile, DeviceNamesAreTurnedAwayBeforeTheyAreOpened) {
    TemporaryWorkingDirectory cwd;
    const std::string folder = cwd.Path().string();
    const std::pair<bool, std::vector<std::string>> rows[] = {
        {true,
         {R"(\\.\COM7)", R"(\\.\pipe\quenlark-nowhere)", R"(\\?\)" + folder + R"(\long.bin)",
          "//./nul", "CON", "nul.txt", "Aux.tar.gz", "prn .bin", "missing\\com1.bin", "C:lpt9"}},
        {false, {"COM10", "com0.bin", "console.bin", "nul-modem.bin"}}};
    for (const auto& [refused, paths] : rows) {
        for (const std::string& path : paths) {
            CaptureFile file;
            EXPECT_EQ(file.Open(path), !refused) << path;
            EXPECT_EQ(file.ErrorText(), refused ? CaptureFile::kNoDiskFileText : "") << path;
        }
    }
}

}  // namespace
