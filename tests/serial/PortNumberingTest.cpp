#include "ChannelBytes.h"
#include "serial/CComPort.h"
#include "serial/PortNumbering.h"
#include "serial/PosixSerialDevice.h"
#include "support/ScopedConfigHome.h"
#include "support/TemporaryFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kUsb = "sys/devices/usb1/1-1/";
constexpr const char* kUartPresent = "sys/class/tty/ttyS0/type = 4";
constexpr const char* kNoUart = "sys/class/tty/ttyS0/type = 0";

// A device tree in a folder: "path" is a device node (a plain file stands in), "path = text"
// a file, "path -> target" a link; "@" in a target is the tree's root and "ports/" in a
// path the ports folder beside it. The result, "COM<n>|device|description|link target", has
// the root's path left out.
struct TreeCase {
    const char* name;
    Lines tree;
    Lines ports;
    std::size_t problems;
};

void PrintTo(const TreeCase& c, std::ostream* out) {
    *out << c.name;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

class PortNumberingTable : public testing::TestWithParam<TreeCase> {
protected:
    void Make(const std::string& entry) const {
        const std::size_t link = entry.find(" -> ");
        const std::size_t file = entry.find(" = ");
        const std::string name = entry.substr(0, std::min(link, file));
        const fs::path path =
            name.starts_with("ports") ? m_ports.parent_path() / name : m_root / name;
        fs::create_directories(path.parent_path());
        if (link != std::string::npos) {
            fs::create_symlink(Replace(entry.substr(link + 4), "@", m_root.string()), path);
        } else {
            std::ofstream(path) << (file != std::string::npos ? entry.substr(file + 3) : "");
        }
    }

    TemporaryFolder m_folder;
    fs::path m_root = m_folder / "root";
    fs::path m_ports = m_folder / "home/quenlark/ports";
};

TEST_P(PortNumberingTable, GivesEachNewAdapterTheLowestFreeNumber) {
    const TreeCase& c = GetParam();
    for (const std::string& entry : c.tree) {
        Make(entry);
    }
    std::vector<std::string> problems = AssignPortNumbers(m_root, m_ports);
    // Again, as on the next Start: nothing more is given.
    const std::vector<std::string> again = AssignPortNumbers(m_root, m_ports);
    const PortListing listing = ListPorts(m_root, m_ports);
    Lines ports;
    for (const ListedPort& port : listing.ports) {
        ports.push_back(Replace("COM" + std::to_string(port.number) + '|' + port.device + '|' +
                                    port.description + '|' + port.linkTarget,
                                m_root.string() + '/', ""));
    }
    EXPECT_EQ(ports, c.ports);
    problems.insert(problems.end(), listing.problems.begin(), listing.problems.end());
    EXPECT_EQ(problems.size(), c.problems) << testing::PrintToString(problems);
    EXPECT_EQ(again.size() + listing.problems.size(), c.problems);
    struct stat status {};
    const bool made = std::none_of(c.tree.begin(), c.tree.end(),
                                   [](const std::string& e) { return e.starts_with("ports"); });
    if (made && ::lstat(m_ports.c_str(), &status) == 0) {
        EXPECT_EQ(status.st_mode & 0777, 0700u);
    }
}

const std::string kFtdi = std::string(kUsb) + "1-1:1.0/ttyUSB0";

INSTANTIATE_TEST_SUITE_P(
    PortNumbering, PortNumberingTable,
    testing::Values(
        TreeCase{"FirstAdapterIsCom1WithoutAUart",
                 {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-FTDI_A -> ../../ttyUSB0",
                  std::string(kUsb) + "product = FT232R USB UART",
                  std::string(kUsb) + "manufacturer = FTDI", kFtdi + "/x",
                  "sys/class/tty/ttyUSB0/device -> @/" + kFtdi},
                 {"COM1|dev/ttyUSB0|FT232R USB UART (FTDI)|dev/serial/by-id/usb-FTDI_A"},
                 0},
        TreeCase{"PresentUartKeepsItsNumber",
                 {kUartPresent, "dev/ttyS0", "dev/ttyUSB0", "sys/class/tty/ttyUSB0/x",
                  "dev/serial/by-id/usb-A -> ../../ttyUSB0",
                  "dev/serial/by-path/pci-1 -> ../../ttyUSB0"},
                 {"COM1|dev/ttyS0|built-in UART|", "COM2|dev/ttyUSB0||dev/serial/by-id/usb-A"},
                 0},
        TreeCase{"BySocketWithoutASerialNumber",
                 {kNoUart, "dev/ttyUSB0", "dev/serial/by-path/pci-1 -> ../../ttyUSB0"},
                 {"COM1|dev/ttyUSB0||dev/serial/by-path/pci-1"},
                 0},
        TreeCase{"KernelNameWhereUdevMadeNoLinks",
                 {"dev/ttyACM0", "sys/class/tty/ttyACM0/x", "dev/ttyS1", "sys/class/tty/ttyS1/x"},
                 {"COM1|dev/ttyACM0||dev/ttyACM0"},
                 0},
        TreeCase{"HandMadeLinkWinsAndStays",
                 {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-A -> ../../ttyUSB0",
                  "ports/com5 -> @/dev/ttyUSB0"},
                 {"COM5|dev/ttyUSB0||dev/ttyUSB0"},
                 0},
        TreeCase{"UnpluggedAdaptersNumberIsNotGivenAway",
                 {kNoUart, "dev/ttyUSB1", "dev/serial/by-id/usb-B -> ../../ttyUSB1",
                  "dev/serial/by-id/usb-Gone -> ../../ttyUSB0", "dev/other",
                  "ports/com1 -> @/dev/serial/by-id/usb-A", "ports/com2 -> @/dev/other"},
                 {"COM1|||dev/serial/by-id/usb-A", "COM2|dev/other||dev/other",
                  "COM3|dev/ttyUSB1||dev/serial/by-id/usb-B"},
                 0},
        TreeCase{"PortsFolderThatIsAFile",
                 {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-A -> ../../ttyUSB0", "ports = x"},
                 {},
                 2},
        TreeCase{"LinkToAFolderIsNoDevice",
                 {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-A -> ../../ttyUSB0",
                  "ports/com1 -> @/dev"},
                 {"COM1|||dev", "COM2|dev/ttyUSB0||dev/serial/by-id/usb-A"},
                 1}),
    [](const testing::TestParamInfo<TreeCase>& row) { return row.param.name; });

TEST(PortNumbering, AnAdapterIsOpenedByItsNumber) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    TemporaryFolder root;
    ScopedConfigHome home;
    fs::create_directories(root / "dev/serial/by-id");
    fs::create_symlink(::ttyname(slave), root / "dev/serial/by-id/usb-Pty_0001-if00-port0");
    EXPECT_TRUE(AssignPortNumbers(root.Path(), home.PortsFolder()).empty());

    std::vector<std::string> boxes;
    CComPort channel(std::make_unique<PosixSerialDevice>(),
                     [&boxes](const std::string& text) { boxes.push_back(text); });
    channel.SetPortNumber(1);
    EXPECT_EQ(channel.Open("9600, N, 8, 1"), 1);
    ASSERT_EQ(::write(master, "ping", 4), 4);
    EXPECT_EQ(ReadFromChannel(channel, 4), (Bytes{'p', 'i', 'n', 'g'}));
    EXPECT_TRUE(boxes.empty());
    channel.Close();
    ::close(slave);
    ::close(master);
}

}  // namespace
