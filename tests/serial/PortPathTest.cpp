#include "serial/PortPath.h"
#include "support/ScopedConfigHome.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* name;
    const char* deviceName;
    const char* xdgConfigHome;
    const char* home;
    std::optional<PortPathCandidates> expected;
};

void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.name;
}

class PortPathTable : public testing::TestWithParam<PathCase> {};

TEST_P(PortPathTable, GivesTheLinkAndTheBuiltInPort) {
    const PathCase& c = GetParam();
    const std::optional<PortPathCandidates> candidates =
        PortPathCandidatesFor(c.deviceName, c.xdgConfigHome, c.home);
    ASSERT_EQ(candidates.has_value(), c.expected.has_value());
    if (candidates) {
        EXPECT_EQ(candidates->linkPath, c.expected->linkPath);
        EXPECT_EQ(candidates->devicePath, c.expected->devicePath);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PortPath, PortPathTable,
    testing::Values(
        PathCase{"Com5", "\\\\.\\COM5", "/cfg", "/home/u",
                 PortPathCandidates{"/cfg/quenlark/ports/com5", "/dev/ttyS4"}},
        PathCase{"Com1", "\\\\.\\COM1", "/cfg", "/home/u",
                 PortPathCandidates{"/cfg/quenlark/ports/com1", "/dev/ttyS0"}},
        PathCase{"Com255", "\\\\.\\COM255", "/cfg", "/home/u",
                 PortPathCandidates{"/cfg/quenlark/ports/com255", "/dev/ttyS254"}},
        PathCase{"HomeWhenXdgUnset", "\\\\.\\COM12", nullptr, "/home/u",
                 PortPathCandidates{"/home/u/.config/quenlark/ports/com12", "/dev/ttyS11"}},
        PathCase{"HomeWhenXdgEmpty", "\\\\.\\COM12", "", "/home/u",
                 PortPathCandidates{"/home/u/.config/quenlark/ports/com12", "/dev/ttyS11"}},
        PathCase{"HomeWhenXdgRelative", "\\\\.\\COM12", "cfg", "/home/u",
                 PortPathCandidates{"/home/u/.config/quenlark/ports/com12", "/dev/ttyS11"}},
        PathCase{"NoLinkWithoutAnyHome", "\\\\.\\COM2", nullptr, nullptr,
                 PortPathCandidates{"", "/dev/ttyS1"}},
        PathCase{"PortZero", "\\\\.\\COM0", "/cfg", "/home/u", std::nullopt},
        PathCase{"Port256", "\\\\.\\COM256", "/cfg", "/home/u", std::nullopt},
        PathCase{"LeadingZero", "\\\\.\\COM05", "/cfg", "/home/u", std::nullopt},
        PathCase{"NoNumber", "\\\\.\\COM", "/cfg", "/home/u", std::nullopt},
        PathCase{"TrailingText", "\\\\.\\COM5x", "/cfg", "/home/u", std::nullopt},
        PathCase{"Signed", "\\\\.\\COM+5", "/cfg", "/home/u", std::nullopt},
        PathCase{"LowerCase", "\\\\.\\com5", "/cfg", "/home/u", std::nullopt},
        PathCase{"NoPrefix", "COM5", "/cfg", "/home/u", std::nullopt},
        PathCase{"DevicePath", "/dev/ttyS0", "/cfg", "/home/u", std::nullopt},
        PathCase{"Empty", "", "/cfg", "/home/u", std::nullopt}),
    [](const testing::TestParamInfo<PathCase>& row) { return row.param.name; });

TEST(PortPath, ResolvesThroughALinkInTheConfigHome) {
    ScopedConfigHome home;
    std::filesystem::create_directories(home.PortsFolder());
    const std::filesystem::path link = home.PortsFolder() / "com7";
    std::filesystem::create_symlink("/dev/null", link);
    EXPECT_EQ(ResolvePortPath("\\\\.\\COM7"), link.string());
    EXPECT_EQ(ResolvePortPath("\\\\.\\COM8"), "/dev/ttyS7");
    EXPECT_EQ(ResolvePortPath("\\\\.\\COM0"), std::nullopt);
}

TEST(PortPath, LinkThatLeadsNowhereIsStillTheLink) {
    // An unplugged adapter must not be mistaken for the built-in port of that number.
    ScopedConfigHome home;
    std::filesystem::create_directories(home.PortsFolder());
    const std::filesystem::path link = home.PortsFolder() / "com1";
    std::filesystem::create_symlink(home.Path() / "unplugged", link);
    EXPECT_EQ(ResolvePortPath("\\\\.\\COM1"), link.string());
}

TEST(PortPath, ConfigHomeIsRestoredAfterwards) {
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = before != nullptr ? before : "";
    std::filesystem::path path;
    {
        ScopedConfigHome home;
        path = home.Path();
        ASSERT_NE(std::getenv("XDG_CONFIG_HOME"), nullptr);
        EXPECT_EQ(std::string(std::getenv("XDG_CONFIG_HOME")), path.string());
        std::ofstream(path / "left-over") << "x";
    }
    const char* after = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(after != nullptr, before != nullptr);
    if (after != nullptr) {
        EXPECT_EQ(std::string(after), saved);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
