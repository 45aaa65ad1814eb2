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
constexpr const char* kNoUart = "sys/class/tty/ttyS0/type = 0";

// A device tree in a folder: "path" is a device node (a plain file), "path = text" a file,
// "path -> target" a link ("@": the tree), "ports" the ports folder beside the tree (its entries
// last). The result, "COM<n>|device|description|link target", leaves out the tree's path.
struct TreeCase {
    const char* name;
    Lines tree;
    Lines ports;
    std::size_t problems;
};

class PortNumberingTable : public testing::TestWithParam<TreeCase> {
protected:
    void Make(const std::string& entry) const {
        const std::size_t link = entry.find(" -> ");
        const std::size_t file = entry.find(" = ");
        const std::string name = entry.substr(0, std::min(link, file));
        const fs::path path = (name.starts_with("ports") ? m_ports.parent_path() : m_root) / name;
        fs::create_directories(path.parent_path());
        if (const std::string target = link != std::string::npos ? entry.substr(link + 4) : "";
            !target.empty()) {
            fs::create_symlink(target[0] == '@' ? m_root.string() + target.substr(1) : target,
                               path);
        } else {
            std::ofstream(path) << (file != std::string::npos ? entry.substr(file + 3) : "");
        }
    }
    std::string InTree(std::string path) const {
        return path.starts_with(m_root.string()) ? path.substr(m_root.string().size() + 1) : path;
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
    AssignPortNumbers(m_root, m_ports);  // as on the next Start: nothing more is given
    const PortListing listing = ListPorts(m_root, m_ports);
    Lines ports;
    for (const ListedPort& port : listing.ports) {
        ports.push_back("COM" + std::to_string(port.number) + '|' + InTree(port.device) + '|' +
                        port.description + '|' + InTree(port.linkTarget));
    }
    EXPECT_EQ(ports, c.ports);
    problems.insert(problems.end(), listing.problems.begin(), listing.problems.end());
    EXPECT_EQ(problems.size(), c.problems) << testing::PrintToString(problems);
    struct stat status {};
    if (c.tree.back().find("ports") == std::string::npos &&
        ::lstat(m_ports.c_str(), &status) == 0) {
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
                 {"sys/class/tty/ttyS0/type = 4", "dev/ttyS0", "dev/ttyUSB0",
                  "sys/class/tty/ttyUSB0/x", "dev/serial/by-id/usb-A -> ../../ttyUSB0",
                  "dev/serial/by-path/pci-1 -> ../../ttyUSB0"},
                 {"COM1|dev/ttyS0|built-in UART|", "COM2|dev/ttyUSB0||dev/serial/by-id/usb-A"},
                 0},
        TreeCase{"BySocketOrKernelNameWithoutASerialNumber",
                 {"dev/ttyUSB0", "dev/serial/by-path/pci-1 -> ../../ttyUSB0", "dev/ttyACM0",
                  "sys/class/tty/ttyACM0/x", "dev/ttyS1", "sys/class/tty/ttyS1/x"},
                 {"COM1|dev/ttyACM0||dev/ttyACM0", "COM2|dev/ttyUSB0||dev/serial/by-path/pci-1"},
                 0},
        TreeCase{
            "LinksThereStayAndKeepTheirNumbers",
            {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-A -> ../../ttyUSB0", "dev/ttyUSB1",
             "dev/serial/by-id/usb-B -> ../../ttyUSB1", "dev/serial/by-id/usb-C -> ../../ttyUSB2",
             "ports/com1 -> @/dev/serial/by-id/usb-Gone", "ports/com3 -> @/dev",
             "ports/com5 -> @/dev/ttyUSB0"},
            {"COM1|||dev/serial/by-id/usb-Gone", "COM2|dev/ttyUSB1||dev/serial/by-id/usb-B",
             "COM3|||dev", "COM5|dev/ttyUSB0||dev/ttyUSB0"},
            1},
        TreeCase{"PortsFolderThatIsAFile",
                 {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-A -> ../../ttyUSB0", "ports = x"},
                 {},
                 2}),
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

    CComPort channel(std::make_unique<PosixSerialDevice>(), [](const std::string&) {});
    channel.SetPortNumber(1);
    EXPECT_EQ(channel.Open("9600, N, 8, 1"), 1);
    ASSERT_EQ(::write(master, "ping", 4), 4);
    EXPECT_EQ(ReadFromChannel(channel, 4), (Bytes{'p', 'i', 'n', 'g'}));
    channel.Close();
    ::close(slave);
    ::close(master);
}

}  // namespace
