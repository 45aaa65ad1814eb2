#include "app/CommandLine.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string kUsage =
    "Usage: quenlark [-h | --help] [-V | --version] [-l | --list-ports] [--capture FILE]\n";
const std::string kVersion = "quenlark " QUENLARK_PROJECT_VERSION "\n";

TEST(CommandLine, HelpAndVersionEndTheProgramAndAnythingElseIsRefused) {
    struct Row {
        std::vector<const char*> arguments;
        std::optional<int> status;
        std::string outStart;  // what standard output starts with; "*": anything
        std::string err;
        std::string captureFile = {};
    };
    const Row rows[] = {
        {{}, std::nullopt, "", ""},
        {{"--version"}, 0, kVersion, ""},
        {{"-V"}, 0, kVersion, ""},
        {{"--help"}, 0, kUsage + "\n", ""},
        {{"-h"}, 0, kUsage + "\n", ""},
        {{"--help", "--version"}, 0, kUsage + "\n", ""},  // the first one counts
        {{"--verbose"}, 2, "", "quenlark: unknown option '--verbose'\n" + kUsage},
        {{"-hV"}, 2, "", "quenlark: unknown option '-hV'\n" + kUsage},
        {{"5"}, 2, "", "quenlark: unexpected argument '5'\n" + kUsage},
        {{"--version", "-x"}, 2, "", "quenlark: unknown option '-x'\n" + kUsage},
        {{"--list-ports"}, 0, "*", ""},  // the ports of the machine the test runs on
        {{"-l", "--help"}, 0, "*", ""},
        {{"--capture", "c.bin"}, std::nullopt, "", "", "c.bin"},
        {{"--capture=-c.bin"}, std::nullopt, "", "", "-c.bin"},
        {{"--capture"}, 2, "", "quenlark: option '--capture' needs a file name\n" + kUsage},
    };
    for (const Row& row : rows) {
        std::vector<const char*> argv{"/usr/bin/quenlark"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        std::ostringstream out;
        std::ostringstream err;
        RunOptions options;
        const std::optional<int> status =
            HandleCommandLine(static_cast<int>(argv.size()), argv.data(), out, err, options);
        std::string label;
        for (const char* argument : row.arguments) {
            label += std::string(argument) + ' ';
        }
        EXPECT_EQ(status, row.status) << label;
        if (row.outStart != "*") {
            EXPECT_EQ(out.str().substr(0, row.outStart.size()), row.outStart) << label;
            EXPECT_EQ(out.str().empty(), row.outStart.empty()) << label;
        }
        // A port list's lines have four fields, whatever the machine has.
        std::istringstream lines(row.outStart == "*" ? out.str() : "");
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
        }
        EXPECT_EQ(err.str(), row.err) << label;
        EXPECT_EQ(options.captureFile, row.captureFile) << label;
    }
}

}  // namespace
