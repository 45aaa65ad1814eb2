#include "serial/PortNumbering.h"

#include "serial/PortPath.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// udev's stable names: by-id (the serial number, the same in any socket) and by-path (the
// socket).
constexpr const char* kByIdFolder = "dev/serial/by-id";
constexpr const char* kByPathFolder = "dev/serial/by-path";
constexpr const char* kTtyClass = "sys/class/tty";
// udev is running while its control socket exists, and has finished with a device once its
// database holds the device's numbers.
constexpr const char* kUdevControl = "run/udev/control";
constexpr const char* kUdevDataPrefix = "run/udev/data/c";
constexpr std::string_view kBuiltInName = "ttyS";
constexpr const char* kBuiltInDescription = "built-in UART";
constexpr mode_t kPortsFolderMode = 0700;
constexpr uid_t kRootUser = 0;
// From a tty's device up to the USB device that names product, maker and serial number: the
// interface, and for a converter its port, lie between.
constexpr int kUsbDeviceLevels = 4;

// Why a device present has no number.
constexpr const char* kWaitingForUdev = "waiting for udev";
constexpr const char* kNoUdev = "no udev";
constexpr const char* kNoFreeNumber = "no free number";
constexpr const char* kNotWritable = "ports folder not writable: ";
constexpr const char* kNotNumberedYet = "not numbered yet";
constexpr const char* kNoHome = "no home folder";
constexpr const char* kAnotherUsersHome = "running as root in a home that is not root's";
constexpr const char* kSharedName = "ambiguous: two adapters present have this name";
constexpr const char* kSameDeviceAs = "same device as COM";
constexpr const char* kSharedNameText =
    "The port's link leads to a name that two adapters plugged in share, so it could open "
    "either of them. Remove the link: each adapter then gets a number of its own.";

// A serial device present, by the device it is.
struct PresentDevice {
    // What its number's link leads to; empty while it can have none.
    fs::path stableName;
    // Why it can have none.
    std::string reason;
    std::string description;
};

struct Devices {
    std::map<fs::path, PresentDevice> present;
    // The by-id names that two adapters present share: each leads to one of them, whichever
    // udev saw last.
    std::set<fs::path> sharedNames;
};

// The entries of a folder, sorted, so that the same devices get the same numbers however the
// folder lists them.
std::vector<fs::path> SortedEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::optional<fs::path> DeviceOf(const fs::path& name) {
    std::error_code error;
    fs::path device = fs::canonical(name, error);
    if (error) {
        return std::nullopt;
    }
    return device;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    // Control characters would break the list's lines and columns.
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c >= 0 && c < ' '; }, ' ');
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// Each device a folder of stable names leads to, with the first name that leads to it. One
// that vanishes meanwhile is an adapter unplugged during the scan.
std::map<fs::path, fs::path> StableNames(const fs::path& folder) {
    std::map<fs::path, fs::path> names;
    for (const fs::path& name : SortedEntries(folder)) {
        if (const std::optional<fs::path> device = DeviceOf(name)) {
            names.emplace(*device, name);
        }
    }
    return names;
}

// The USB device above a tty's device, or nothing for a device on another bus.
std::optional<fs::path> UsbDeviceOf(const fs::path& ttyDevice) {
    fs::path folder = ttyDevice;
    for (int level = 0; level < kUsbDeviceLevels && folder.has_relative_path(); ++level) {
        if (Exists(folder / "idVendor")) {
            return folder;
        }
        folder = folder.parent_path();
    }
    return std::nullopt;
}

std::string UsbDescription(const fs::path& usb) {
    const std::string product = ReadLine(usb / "product");
    const std::string maker = ReadLine(usb / "manufacturer");
    const std::string ids = ReadLine(usb / "idVendor") + ':' + ReadLine(usb / "idProduct");
    const std::string name = product.empty() ? maker
                             : maker.empty() ? product
                                             : product + " (" + maker + ")";
    return name.empty() ? ids : name + ' ' + ids;
}

// What udev's by-id name of the tty is made of: model, serial number, interface and port. Two
// ttys with the same identity have the same by-id name.
std::string UsbIdentity(const fs::path& usb, const fs::path& ttyDevice) {
    const std::string interface = ttyDevice.lexically_relative(usb).begin()->string();
    return ReadLine(usb / "idVendor") + ':' + ReadLine(usb / "idProduct") + '|' +
           ReadLine(usb / "serial") + '|' +
           interface.substr(std::min(interface.find(':'), interface.size())) + '|' +
           ReadLine(ttyDevice / "port_number");
}

std::string UartDescription(const fs::path& ttyDevice, const std::string& name) {
    const std::optional<fs::path> driver = DeviceOf(ttyDevice / "driver");
    return (driver ? driver->filename().string() : kBuiltInDescription) + " (" + name + ")";
}

Devices FindDevices(const fs::path& root) {
    Devices devices;
    const std::map<fs::path, fs::path> byId = StableNames(root / kByIdFolder);
    const std::map<fs::path, fs::path> byPath = StableNames(root / kByPathFolder);
    const bool udevRuns = Exists(root / kUdevControl);
    struct Adapter {
        std::string identity;
        bool hasSerialNumber = false;
    };
    std::map<fs::path, Adapter> adapters;
    std::map<std::string, int> identities;
    // Built-in UARTs keep their own numbers, whatever names udev gives them.
    std::set<fs::path> builtIns;
    for (const fs::path& tty : SortedEntries(root / kTtyClass)) {
        const std::string name = tty.filename().string();
        const std::optional<fs::path> ttyDevice = DeviceOf(tty / "device");
        const std::optional<fs::path> device = DeviceOf(root / "dev" / name);
        if (device && name.starts_with(kBuiltInName)) {
            builtIns.insert(*device);
        }
        // A tty without a device is a virtual one.
        if (name.starts_with(kBuiltInName) || !ttyDevice || !device) {
            continue;
        }
        PresentDevice& present = devices.present[*device];
        const std::optional<fs::path> usb = UsbDeviceOf(*ttyDevice);
        if (!usb) {
            present.stableName = *device;
            present.description = UartDescription(*ttyDevice, name);
            continue;
        }
        present.description = UsbDescription(*usb);
        if (udevRuns && !Exists(root / (kUdevDataPrefix + ReadLine(tty / "dev")))) {
            present.reason = kWaitingForUdev;
        }
        const Adapter& adapter =
            adapters[*device] = {UsbIdentity(*usb, *ttyDevice), !ReadLine(*usb / "serial").empty()};
        ++identities[adapter.identity];
    }
    for (const auto& [device, adapter] : adapters) {
        PresentDevice& present = devices.present[device];
        const auto id = byId.find(device);
        const auto path = byPath.find(device);
        const bool shared = identities[adapter.identity] > 1;
        if (shared && id != byId.end()) {
            devices.sharedNames.insert(id->second);
        }
        if (!present.reason.empty()) {
            continue;
        }
        if (adapter.hasSerialNumber && !shared && id != byId.end()) {
            present.stableName = id->second;
        } else if (path != byPath.end()) {
            present.stableName = path->second;
        } else {
            present.reason = udevRuns ? kWaitingForUdev : kNoUdev;
        }
    }
    // Devices that sysfs does not show go by their names, by-id first.
    for (const auto* names : {&byId, &byPath}) {
        for (const auto& [device, name] : *names) {
            if (devices.present.count(device) == 0 && builtIns.count(device) == 0) {
                devices.present[device].stableName = name;
            }
        }
    }
    return devices;
}

// The kernel registers a ttyS for every possible built-in port; only one whose UART type is
// known (not 0) is there.
bool IsBuiltInUartPresent(const fs::path& root, const std::string& name) {
    const std::string type = ReadLine(root / kTtyClass / name / "type");
    return !type.empty() && type != "0";
}

std::string BuiltInName(int number) {
    return std::string(kBuiltInName) + std::to_string(number - 1);
}

std::string Describe(const fs::path& root, const Devices& devices, const fs::path& device) {
    if (const auto found = devices.present.find(device); found != devices.present.end()) {
        return found->second.description;
    }
    const std::string name = device.filename().string();
    return name.starts_with(kBuiltInName) && IsBuiltInUartPresent(root, name) ? kBuiltInDescription
                                                                              : "";
}

// The name a link leads to; empty for what is no link.
fs::path LinkTarget(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    return error ? fs::path() : (link.parent_path() / target).lexically_normal();
}

bool IsSharedName(const fs::path& link, const Devices& devices) {
    const fs::path name = LinkTarget(link);
    return !name.empty() &&
           std::any_of(devices.sharedNames.begin(), devices.sharedNames.end(),
                       [&](const fs::path& shared) { return shared.lexically_normal() == name; });
}

// An entry of the ports folder.
struct PortEntry {
    // The device it leads to; none when it leads nowhere, or to a name two adapters share.
    std::optional<fs::path> device;
    bool sharedName = false;
    // The number that opens the device instead, when another entry leads to it too.
    int sameDeviceAs = 0;
};

using PortEntries = std::map<int, PortEntry>;

// Whether an entry's link follows the name the device goes by now.
bool FollowsStableName(const fs::path& folder, int number, const fs::path& device,
                       const Devices& devices) {
    const auto found = devices.present.find(device);
    return found != devices.present.end() && !found->second.stableName.empty() &&
           LinkTarget(folder / PortLinkName(number)) == found->second.stableName.lexically_normal();
}

PortEntries ReadPortsFolder(const fs::path& folder, const Devices& devices) {
    PortEntries entries;
    for (int number = 1; number <= kHighestComPort; ++number) {
        const fs::path link = folder / PortLinkName(number);
        struct stat status {};
        if (::lstat(link.c_str(), &status) == 0) {
            PortEntry& entry = entries[number];
            entry.sharedName = IsSharedName(link, devices);
            entry.device = entry.sharedName ? std::nullopt : DeviceOf(link);
        }
    }
    // One number per device: the one that follows the name the device goes by now, else the
    // lowest. A unit whose repeated serial number was shared while a second unit was plugged
    // in has a socket number from then besides its first one.
    std::map<fs::path, int> opening;
    for (const auto& [number, entry] : entries) {
        if (!entry.device) {
            continue;
        }
        const auto [chosen, first] = opening.emplace(*entry.device, number);
        if (!first && !FollowsStableName(folder, chosen->second, *entry.device, devices) &&
            FollowsStableName(folder, number, *entry.device, devices)) {
            chosen->second = number;
        }
    }
    for (auto& [number, entry] : entries) {
        if (entry.device && opening[*entry.device] != number) {
            entry.sameDeviceAs = opening[*entry.device];
        }
    }
    return entries;
}

bool LeadsTo(const PortEntries& entries, const fs::path& device) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const auto& entry) { return entry.second.device == device; });
}

std::optional<int> LowestFreeNumber(const fs::path& root, const PortEntries& entries) {
    for (int number = 1; number <= kHighestComPort; ++number) {
        if (entries.count(number) == 0 && !IsBuiltInUartPresent(root, BuiltInName(number))) {
            return number;
        }
    }
    return std::nullopt;
}

std::string SystemError(const fs::path& path, int error) {
    return path.string() + ": " + std::strerror(error);
}

// Root run with another user's environment (sudo -E) would leave folders in that user's home
// that the user cannot change.
bool IsAnotherUsersHome(const fs::path& portsFolder, uid_t user) {
    if (user != kRootUser) {
        return false;
    }
    // The folder, quenlark, the config home and the home.
    fs::path folder = portsFolder;
    for (int level = 0; level < 4 && folder.has_relative_path(); ++level) {
        struct stat status {};
        if (::stat(folder.c_str(), &status) == 0 && status.st_uid != kRootUser) {
            return true;
        }
        folder = folder.parent_path();
    }
    return false;
}

// The system's text for why no link can be made in the ports folder, or "".
std::string WhyNotWritable(const fs::path& portsFolder) {
    for (fs::path folder = portsFolder; folder.has_relative_path(); folder = folder.parent_path()) {
        struct stat status {};
        if (::stat(folder.c_str(), &status) != 0) {
            if (errno == ENOENT) {
                continue;
            }
            return std::strerror(errno);
        }
        if (!S_ISDIR(status.st_mode)) {
            return std::strerror(ENOTDIR);
        }
        return ::access(folder.c_str(), W_OK | X_OK) == 0 ? "" : std::strerror(errno);
    }
    return {};
}

std::string WhyNoNumber(const fs::path& root, const fs::path& portsFolder, uid_t user,
                        const PortEntries& entries) {
    if (portsFolder.empty()) {
        return std::string(kNotWritable) + kNoHome;
    }
    if (IsAnotherUsersHome(portsFolder, user)) {
        return std::string(kNotWritable) + kAnotherUsersHome;
    }
    if (const std::string why = WhyNotWritable(portsFolder); !why.empty()) {
        return kNotWritable + why;
    }
    return LowestFreeNumber(root, entries) ? kNotNumberedYet : kNoFreeNumber;
}

bool MakePortsFolder(const fs::path& folder, std::vector<std::string>& problems) {
    std::error_code error;
    if (fs::create_directories(folder.parent_path(), error); error) {
        problems.push_back(folder.parent_path().string() + ": " + error.message());
        return false;
    }
    if (::mkdir(folder.c_str(), kPortsFolderMode) != 0 && errno != EEXIST) {
        problems.push_back(SystemError(folder, errno));
        return false;
    }
    if (!fs::is_directory(folder, error)) {
        problems.push_back(SystemError(folder, error ? error.value() : ENOTDIR));
        return false;
    }
    return true;
}

// Two programs numbering the same device at once may each have made a link: the lower
// number stays, and each removes its own higher one.
void DropSecondNumber(const fs::path& folder, int number, const fs::path& device,
                      const fs::path& stableName, const Devices& devices) {
    const PortEntries entries = ReadPortsFolder(folder, devices);
    const bool lowerOne = std::any_of(entries.begin(), entries.find(number),
                                      [&](const auto& e) { return e.second.device == device; });
    const fs::path link = folder / PortLinkName(number);
    std::error_code error;
    if (lowerOne && fs::read_symlink(link, error) == stableName) {
        fs::remove(link, error);
    }
}

// Links one device unless an entry leads to it already; false when the folder cannot take
// links, so that no further device tries.
bool AssignNumber(const fs::path& root, const fs::path& folder, const Devices& devices,
                  const fs::path& device, const fs::path& stableName,
                  std::vector<std::string>& problems) {
    // Each clash is a number another program took meanwhile, so this ends.
    for (int attempt = 0; attempt <= kHighestComPort; ++attempt) {
        const PortEntries entries = ReadPortsFolder(folder, devices);
        if (LeadsTo(entries, device)) {
            return true;
        }
        const std::optional<int> number = LowestFreeNumber(root, entries);
        if (!number) {
            problems.push_back("no free COM number for " + stableName.string());
            return true;
        }
        if (!MakePortsFolder(folder, problems)) {
            return false;
        }
        const fs::path link = folder / PortLinkName(*number);
        // Exclusive: an entry made meanwhile is never overwritten.
        if (::symlink(stableName.c_str(), link.c_str()) == 0) {
            DropSecondNumber(folder, *number, device, stableName, devices);
            return true;
        }
        if (const int failure = errno; failure != EEXIST) {
            problems.push_back(SystemError(link, failure));
            return failure != EACCES && failure != EROFS;
        }
    }
    return true;
}

// Whether the ports folder's entries can be read; a folder not made yet has none to read.
bool ReadablePortsFolder(const fs::path& portsFolder, std::vector<std::string>& problems) {
    struct stat status {};
    if (portsFolder.empty()) {
        return false;
    }
    if (::stat(portsFolder.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            problems.push_back(SystemError(portsFolder, errno));
        }
        return false;
    }
    if (!S_ISDIR(status.st_mode) || ::access(portsFolder.c_str(), R_OK | X_OK) != 0) {
        problems.push_back(SystemError(portsFolder, S_ISDIR(status.st_mode) ? errno : ENOTDIR));
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> AssignPortNumbers(const fs::path& root, const fs::path& portsFolder,
                                           uid_t user) {
    std::vector<std::string> problems;
    if (portsFolder.empty()) {
        return problems;
    }
    if (IsAnotherUsersHome(portsFolder, user)) {
        problems.push_back(std::string(kAnotherUsersHome) + ": no numbers given in " +
                           portsFolder.string() + ", the ports are listed as they are");
        return problems;
    }
    const Devices devices = FindDevices(root);
    for (const auto& [device, present] : devices.present) {
        if (!present.stableName.empty() &&
            !AssignNumber(root, portsFolder, devices, device, present.stableName, problems)) {
            break;
        }
    }
    return problems;
}

PortListing ListPorts(const fs::path& root, const fs::path& portsFolder, uid_t user) {
    PortListing listing;
    const bool linksRead = ReadablePortsFolder(portsFolder, listing.problems);
    std::error_code error;
    const bool uartsRead = fs::is_directory(root / kTtyClass, error);
    if (!uartsRead) {
        listing.problems.push_back(SystemError(root / kTtyClass, ENOENT));
    }
    listing.readable = linksRead || uartsRead;

    const Devices devices = FindDevices(root);
    const PortEntries entries = linksRead ? ReadPortsFolder(portsFolder, devices) : PortEntries();
    for (int number = 1; number <= kHighestComPort; ++number) {
        ListedPort port;
        port.number = number;
        if (const auto entry = entries.find(number); entry != entries.end()) {
            const fs::path link = portsFolder / PortLinkName(number);
            const PortEntry& found = entry->second;
            port.linkTarget = fs::read_symlink(link, error).string();
            if (found.sharedName) {
                port.description = kSharedName;
            } else if (found.sameDeviceAs != 0) {
                port.description = kSameDeviceAs + std::to_string(found.sameDeviceAs);
            } else if (found.device && fs::is_directory(*found.device, error)) {
                listing.problems.push_back(link.string() + " leads to a folder, not a device");
            } else if (found.device) {
                port.device = found.device->string();
                port.description = Describe(root, devices, *found.device);
            }
        } else if (IsBuiltInUartPresent(root, BuiltInName(number))) {
            port.device = (root / "dev" / BuiltInName(number)).string();
            port.description = kBuiltInDescription;
        } else {
            continue;
        }
        listing.ports.push_back(port);
    }
    // The same for every device without a reason of its own: found once, when one needs it.
    std::optional<std::string> whyNoNumber;
    for (const auto& [device, present] : devices.present) {
        if (linksRead && LeadsTo(entries, device)) {
            continue;
        }
        if (present.reason.empty() && !whyNoNumber) {
            whyNoNumber = WhyNoNumber(root, portsFolder, user, entries);
        }
        ListedPort port;
        port.device = device.string();
        port.description = present.description;
        port.reason = present.reason.empty() ? *whyNoNumber : present.reason;
        listing.ports.push_back(port);
    }
    return listing;
}

std::string WhyPortEntryOpensNothing(const fs::path& root, const fs::path& path) {
    std::error_code error;
    if (!fs::is_symlink(path, error)) {
        return {};
    }
    const PortEntries entries = ReadPortsFolder(path.parent_path(), FindDevices(root));
    for (const auto& [number, entry] : entries) {
        if (path.filename() != PortLinkName(number)) {
            continue;
        }
        if (entry.sharedName) {
            return kSharedNameText;
        }
        if (entry.sameDeviceAs != 0) {
            const std::string other = "COM" + std::to_string(entry.sameDeviceAs);
            return "COM" + std::to_string(number) + " leads to the same device as " + other +
                   ", the number it goes by now. Open " + other + ", or remove the link " +
                   path.string() + " to free this number.";
        }
    }
    return {};
}
