#include "ChannelBytes.h"
#include "serial/CComPort.h"
#include "serial/PortNumbering.h"
#include "serial/PosixSerialDevice.h"
#include "support/ScopedConfigHome.h"
#include "support/TemporaryFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

const std::string kUsb = "sys/devices/usb1/1-1/";
constexpr const char* kNoUart = "sys/class/tty/ttyS0/type = 0";

Lines operator+(Lines lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

// A CH340 adapter ttyUSB<n> in USB socket 1-<n+1>, with a serial number unless it is "",
// linked by its socket unless there is no udev.
Lines Ch340(int n, const std::string& serial = "", bool udevLinks = true) {
    const std::string tty = "ttyUSB" + std::to_string(n), socket = "1-" + std::to_string(n + 1);
    const std::string usb = "sys/devices/usb1/" + socket + '/',
                      device = usb + socket + ":1.0/" + tty;
    Lines lines{"dev/" + tty,
                usb + "idVendor = 1a86",
                usb + "idProduct = 7523",
                usb + "serial = " + serial,
                "sys/class/tty/" + tty + "/device -> @/" + device,
                "sys/class/tty/" + tty + "/dev = 188:" + std::to_string(n),
                device + "/port_number = 0"};
    if (udevLinks) {
        lines.push_back("dev/serial/by-path/pci-" + socket + " -> ../../" + tty);
    }
    return lines;
}

// Every number taken by a link to an adapter not plugged in.
Lines AllNumbersTaken(const std::string& prefix, const std::string& suffix) {
    Lines lines;
    for (int number = 1; number <= 255; ++number) {
        lines.push_back(prefix + std::to_string(number) + suffix);
    }
    return lines;
}

// A device tree in a folder: "path" is a device node (a plain file), "path = text" a file,
// "path -> target" a link ("@": the tree), "ports" the ports folder beside the tree (its entries
// last). `reboot` is made (replacing what is there) after the first numbering and before the
// second. The result, "COM<n>|device|description|link target" or "-|device|description|why",
// leaves out the tree's path.
struct TreeCase {
    const char* name;
    Lines tree;
    Lines ports;
    std::size_t problems;
    Lines reboot = {};
    bool rootInAnotherHome = false;  // run as root with the home owned by another user
};

class PortTree : public testing::Test {
protected:
    void Make(const std::string& entry) const {
        const std::size_t link = entry.find(" -> ");
        const std::size_t file = entry.find(" = ");
        const std::string name = entry.substr(0, std::min(link, file));
        const fs::path path = (name.starts_with("ports") ? m_ports.parent_path() : m_root) / name;
        fs::create_directories(path.parent_path());
        fs::remove(path);
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

class PortNumberingTable : public PortTree, public testing::WithParamInterface<TreeCase> {};

TEST_P(PortNumberingTable, GivesEachNewAdapterTheLowestFreeNumber) {
    const TreeCase& c = GetParam();
    for (const std::string& entry : c.tree) {
        Make(entry);
    }
    const uid_t user = c.rootInAnotherHome ? 0 : ::geteuid();
    if (c.rootInAnotherHome) {
        fs::create_directories(m_folder / "home");
        ASSERT_TRUE(::geteuid() != 0 || ::chown((m_folder / "home").c_str(), 1, 1) == 0)
            << std::strerror(errno);
    }
    std::vector<std::string> problems = AssignPortNumbers(m_root, m_ports, user);
    for (const std::string& entry : c.reboot) {
        Make(entry);
    }
    AssignPortNumbers(m_root, m_ports, user);  // as on the next Start: nothing more is given
    const PortListing listing = ListPorts(m_root, m_ports, user);
    Lines ports;
    std::set<std::string> devices;
    for (const ListedPort& port : listing.ports) {
        ports.push_back((port.number != 0 ? "COM" + std::to_string(port.number) : "-") + '|' +
                        InTree(port.device) + '|' + port.description + '|' +
                        InTree(port.number != 0 ? port.linkTarget : port.reason));
        EXPECT_TRUE(port.device.empty() || devices.insert(port.device).second)  // one number each
            << port.device;
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

const std::string kFtdi = kUsb + "1-1:1.0/ttyUSB0";
const std::string kNotWritable = "ports folder not writable: ";

INSTANTIATE_TEST_SUITE_P(
    PortNumbering, PortNumberingTable,
    testing::Values(
        TreeCase{
            "FirstAdapterIsCom1WithoutAUart",
            {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-FTDI_A -> ../../ttyUSB0",
             "dev/serial/by-path/pci-1 -> ../../ttyUSB0", kUsb + "product = FT232R USB UART",
             kUsb + "manufacturer = FTDI", kUsb + "serial = A", kUsb + "idVendor = 0403",
             kUsb + "idProduct = 6001", kFtdi + "/x", "sys/class/tty/ttyUSB0/device -> @/" + kFtdi},
            {"COM1|dev/ttyUSB0|FT232R USB UART (FTDI) 0403:6001|dev/serial/by-id/usb-FTDI_A"},
            0},
        TreeCase{"PresentUartKeepsItsNumber",
                 {"sys/class/tty/ttyS0/type = 4", "dev/ttyS0", "dev/ttyUSB0",
                  "sys/class/tty/ttyUSB0/x", "dev/serial/by-id/usb-A -> ../../ttyUSB0",
                  "dev/serial/by-path/pci-1 -> ../../ttyUSB0"},
                 {"COM1|dev/ttyS0|built-in UART|", "COM2|dev/ttyUSB0||dev/serial/by-id/usb-A"},
                 0},
        TreeCase{"SerialLessUnitsKeepTheirSocketsWhenTheirSharedNameMoves",
                 Ch340(0) + Ch340(1) + Lines{"dev/serial/by-id/usb-1a86 -> ../../ttyUSB1"},
                 {"COM1|dev/ttyUSB0|1a86:7523|dev/serial/by-path/pci-1-1",
                  "COM2|dev/ttyUSB1|1a86:7523|dev/serial/by-path/pci-1-2"},
                 0,
                 {"dev/serial/by-id/usb-1a86 -> ../../ttyUSB0"}},
        TreeCase{"RepeatedSerialGoesBySocketAndALinkToItsNameIsAmbiguous",
                 Ch340(0, "0001") + Ch340(1, "0001") +
                     Lines{"dev/serial/by-id/usb-0001 -> ../../ttyUSB0",
                           "ports/com1 -> @/dev/serial/by-id/usb-0001"},
                 {"COM1||ambiguous: two adapters present have this name|dev/serial/by-id/usb-0001",
                  "COM2|dev/ttyUSB0|1a86:7523|dev/serial/by-path/pci-1-1",
                  "COM3|dev/ttyUSB1|1a86:7523|dev/serial/by-path/pci-1-2"},
                 0},
        TreeCase{"UnitOfARepeatedSerialAloneAgainIsOpenedByOneNumber",
                 Ch340(0, "0001") + Lines{"dev/serial/by-id/usb-0001 -> ../../ttyUSB0",
                                          "ports/com1 -> @/dev/serial/by-id/usb-0001",
                                          "ports/com2 -> @/dev/serial/by-path/pci-1-1"},
                 {"COM1|dev/ttyUSB0|1a86:7523|dev/serial/by-id/usb-0001",
                  "COM2||same device as COM1|dev/serial/by-path/pci-1-1"},
                 0},
        TreeCase{"SerialLessUnitIsOpenedByItsSocketsNumberOnly",
                 Ch340(0) + Lines{"dev/serial/by-id/usb-1a86 -> ../../ttyUSB0",
                                  "ports/com1 -> @/dev/serial/by-id/usb-1a86",
                                  "ports/com2 -> @/dev/serial/by-path/pci-1-1"},
                 {"COM1||same device as COM2|dev/serial/by-id/usb-1a86",
                  "COM2|dev/ttyUSB0|1a86:7523|dev/serial/by-path/pci-1-1"},
                 0},
        TreeCase{"AdapterUdevHasNotFinishedWaits",
                 Ch340(0, "A") + Ch340(1) +
                     Lines{"run/udev/control", "run/udev/data/c188:1",
                           "dev/serial/by-id/usb-A -> ../../ttyUSB0"},
                 {"COM1|dev/ttyUSB1|1a86:7523|dev/serial/by-path/pci-1-2",
                  "-|dev/ttyUSB0|1a86:7523|waiting for udev"},
                 0},
        TreeCase{"AdapterWithoutUdevGetsNoKernelNameLink",
                 Ch340(0, "A", false),
                 {"-|dev/ttyUSB0|1a86:7523|no udev"},
                 0},
        TreeCase{
            "BoardUartsAreNumberedByTheirKernelNames",
            {"sys/class/tty/ttyS0/type = 4", "dev/ttyS0",
             "sys/class/tty/ttyS0/device -> @/sys/devices/pnp0/00:04",
             "dev/serial/by-path/pnp-0 -> ../../ttyS0", "sys/devices/pnp0/00:04/x", "dev/ttyAMA0",
             "sys/class/tty/ttyAMA0/device -> @/sys/devices/platform/fe201000.serial",
             "sys/devices/platform/fe201000.serial/driver -> @/sys/bus/amba/drivers/uart-pl011",
             "sys/bus/amba/drivers/uart-pl011/x", "dev/ttymxc0",
             "sys/class/tty/ttymxc0/device -> @/sys/devices/platform/30860000.serial",
             "sys/devices/platform/30860000.serial/x"},
            {"COM1|dev/ttyS0|built-in UART|", "COM2|dev/ttyAMA0|uart-pl011 (ttyAMA0)|dev/ttyAMA0",
             "COM3|dev/ttymxc0|built-in UART (ttymxc0)|dev/ttymxc0"},
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
        TreeCase{"NoFreeNumberLeft",
                 Ch340(0) + AllNumbersTaken("ports/com", " -> @/dev/serial/by-id/usb-Gone"),
                 AllNumbersTaken("COM", "|||dev/serial/by-id/usb-Gone") +
                     Lines{"-|dev/ttyUSB0|1a86:7523|no free number"},
                 1},
        TreeCase{"PortsFolderThatIsAFile",
                 {kNoUart, "dev/ttyUSB0", "dev/serial/by-id/usb-A -> ../../ttyUSB0", "ports = x"},
                 {"-|dev/ttyUSB0||" + kNotWritable + "Not a directory"},
                 2},
        TreeCase{"PortsFolderThatCannotBeRead",
                 Ch340(0) + Lines{"ports -> ports"},
                 {"-|dev/ttyUSB0|1a86:7523|" + kNotWritable + "Too many levels of symbolic links"},
                 2},
        TreeCase{"RootInAnotherUsersHomeNumbersNothing",
                 Ch340(0),
                 {"-|dev/ttyUSB0|1a86:7523|" + kNotWritable +
                  "running as root in a home that is not root's"},
                 1,
                 {},
                 true}),
    [](const testing::TestParamInfo<TreeCase>& row) { return row.param.name; });

TEST_F(PortTree, AnAdapterIsOpenedByItsOneNumberAndARefusedLinkSaysWhy) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ScopedConfigHome home;
    m_ports = home.PortsFolder();
    const std::string pty = ::ttyname(slave);
    Make("dev/serial/by-id/usb-Pty_0001-if00-port0 -> " + pty);
    EXPECT_TRUE(AssignPortNumbers(m_root, m_ports, ::geteuid()).empty());
    // COM8 leads to the pty by hand; COM9 to a serial number two adapters share.
    for (const std::string& entry : Ch340(0, "0001") + Ch340(1, "0001") +
                                        Lines{"dev/serial/by-path/pci-0 -> " + pty,
                                              "dev/serial/by-id/usb-0001 -> ../../ttyUSB0",
                                              "ports/com8 -> @/dev/serial/by-path/pci-0",
                                              "ports/com9 -> @/dev/serial/by-id/usb-0001"}) {
        Make(entry);
    }

    std::vector<std::string> shown;
    CComPort channel(std::make_unique<PosixSerialDevice>(m_root),
                     [&](const std::string& text) { shown.push_back(text); });
    for (const auto refused : {std::uint8_t{8}, std::uint8_t{9}}) {
        channel.SetPortNumber(refused);
        EXPECT_EQ(channel.Open("9600, N, 8, 1"), 0);
    }
    channel.SetPortNumber(1);
    EXPECT_EQ(channel.Open("9600, N, 8, 1"), 1);
    ASSERT_EQ(::write(master, "ping", 4), 4);
    EXPECT_EQ(ReadFromChannel(channel, 4), (Bytes{'p', 'i', 'n', 'g'}));
    channel.Close();

    // A folder that cannot be read opens nothing, not the built-in port, and says why.
    fs::remove_all(home.PortsFolder());
    fs::create_symlink("ports", home.PortsFolder());
    EXPECT_EQ(channel.Open("9600, N, 8, 1"), 0);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(shown[0].starts_with("COM8 leads to the same device as COM1")) << shown[0];
    EXPECT_NE(shown[1].find("two adapters plugged in share"), std::string::npos) << shown[1];
    EXPECT_EQ(shown[2], std::strerror(ELOOP));
    ::close(slave);
    ::close(master);
}

}  // namespace
