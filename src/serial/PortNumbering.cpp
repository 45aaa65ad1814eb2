#include "serial/PortNumbering.h"

#include "serial/PortPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// udev's stable names: by-id (the adapter's serial number, the same in any socket) before
// by-path (the socket, for adapters without one).
constexpr const char* kStableNameFolders[] = {"dev/serial/by-id", "dev/serial/by-path"};
constexpr const char* kTtyClass = "sys/class/tty";
// Kernel names of USB serial converters and of CDC ACM modems.
constexpr std::string_view kAdapterNames[] = {"ttyUSB", "ttyACM"};
constexpr std::string_view kBuiltInName = "ttyS";
constexpr const char* kBuiltInDescription = "built-in UART";
constexpr mode_t kPortsFolderMode = 0700;
// From a tty's device up to the USB device that names product and maker: the interface, and
// for a converter its port, lie between.
constexpr int kUsbDeviceLevels = 4;

// The entries of a folder, sorted, so that the same adapters get the same numbers however the
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

// Each adapter's device and its stable name.
std::map<fs::path, fs::path> FindAdapters(const fs::path& root) {
    std::map<fs::path, fs::path> adapters;
    for (const char* folder : kStableNameFolders) {
        for (const fs::path& name : SortedEntries(root / folder)) {
            // One that vanishes meanwhile is an adapter unplugged during the scan.
            if (const std::optional<fs::path> device = DeviceOf(name)) {
                adapters.emplace(*device, name);
            }
        }
    }
    // Adapters that udev gave no links go by their kernel names.
    for (const fs::path& tty : SortedEntries(root / kTtyClass)) {
        const std::string name = tty.filename().string();
        const bool isAdapter =
            std::any_of(std::begin(kAdapterNames), std::end(kAdapterNames),
                        [&](std::string_view kind) { return name.starts_with(kind); });
        const fs::path node = root / "dev" / name;
        if (const std::optional<fs::path> device = isAdapter ? DeviceOf(node) : std::nullopt) {
            adapters.emplace(*device, node);
        }
    }
    return adapters;
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

// The kernel registers a ttyS for every possible built-in port; only one whose UART type is
// known (not 0) is there.
bool IsBuiltInUartPresent(const fs::path& root, const std::string& name) {
    const std::string type = ReadLine(root / kTtyClass / name / "type");
    return !type.empty() && type != "0";
}

std::string BuiltInName(int number) {
    return std::string(kBuiltInName) + std::to_string(number - 1);
}

std::string UsbDescription(const fs::path& root, const std::string& name) {
    std::optional<fs::path> folder = DeviceOf(root / kTtyClass / name / "device");
    for (int level = 0; folder && level < kUsbDeviceLevels; ++level) {
        const std::string product = ReadLine(*folder / "product");
        const std::string maker = ReadLine(*folder / "manufacturer");
        if (!product.empty() || !maker.empty()) {
            return product.empty() ? maker : maker.empty() ? product : product + " (" + maker + ")";
        }
        folder = folder->parent_path();
    }
    return {};
}

std::string Describe(const fs::path& root, const fs::path& device) {
    const std::string name = device.filename().string();
    if (name.starts_with(kBuiltInName) && IsBuiltInUartPresent(root, name)) {
        return kBuiltInDescription;
    }
    return UsbDescription(root, name);
}

// The ports folder's entries by number, with the device each leads to (none when it leads
// nowhere).
using PortEntries = std::map<int, std::optional<fs::path>>;

PortEntries ReadPortsFolder(const fs::path& folder) {
    PortEntries entries;
    for (int number = 1; number <= kHighestComPort; ++number) {
        const fs::path entry = folder / PortLinkName(number);
        struct stat status {};
        if (::lstat(entry.c_str(), &status) == 0) {
            entries[number] = DeviceOf(entry);
        }
    }
    return entries;
}

bool LeadsTo(const PortEntries& entries, const fs::path& device) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const auto& entry) { return entry.second == device; });
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
        problems.push_back(SystemError(folder, ENOTDIR));
        return false;
    }
    return true;
}

// Two programs numbering the same adapter at once may each have made a link: the lower
// number stays, and each removes its own higher one.
void DropSecondNumber(const fs::path& folder, int number, const fs::path& device,
                      const fs::path& stableName) {
    const PortEntries entries = ReadPortsFolder(folder);
    const bool lowerOne = std::any_of(entries.begin(), entries.find(number),
                                      [&](const auto& e) { return e.second == device; });
    const fs::path link = folder / PortLinkName(number);
    std::error_code error;
    if (lowerOne && fs::read_symlink(link, error) == stableName) {
        fs::remove(link, error);
    }
}

// Links one adapter unless an entry leads to it already; false when the folder cannot take
// links, so that no further adapter tries.
bool AssignNumber(const fs::path& root, const fs::path& folder, const fs::path& device,
                  const fs::path& stableName, std::vector<std::string>& problems) {
    // Each clash is a number another program took meanwhile, so this ends.
    for (int attempt = 0; attempt <= kHighestComPort; ++attempt) {
        const PortEntries entries = ReadPortsFolder(folder);
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
            DropSecondNumber(folder, *number, device, stableName);
            return true;
        }
        if (const int failure = errno; failure != EEXIST) {
            problems.push_back(SystemError(link, failure));
            return failure != EACCES && failure != EROFS;
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> AssignPortNumbers(const fs::path& root, const fs::path& portsFolder) {
    std::vector<std::string> problems;
    if (portsFolder.empty()) {
        return problems;
    }
    for (const auto& [device, stableName] : FindAdapters(root)) {
        if (!AssignNumber(root, portsFolder, device, stableName, problems)) {
            break;
        }
    }
    return problems;
}

PortListing ListPorts(const fs::path& root, const fs::path& portsFolder) {
    PortListing listing;
    bool linksRead = true;
    struct stat status {};
    if (!portsFolder.empty() && ::stat(portsFolder.c_str(), &status) == 0 &&
        (!S_ISDIR(status.st_mode) || ::access(portsFolder.c_str(), R_OK | X_OK) != 0)) {
        listing.problems.push_back(
            SystemError(portsFolder, S_ISDIR(status.st_mode) ? EACCES : ENOTDIR));
        linksRead = false;
    }
    std::error_code error;
    const bool uartsRead = fs::is_directory(root / kTtyClass, error);
    if (!uartsRead) {
        listing.problems.push_back(SystemError(root / kTtyClass, ENOENT));
    }
    listing.readable = linksRead || uartsRead;

    const PortEntries entries =
        linksRead && !portsFolder.empty() ? ReadPortsFolder(portsFolder) : PortEntries();
    for (int number = 1; number <= kHighestComPort; ++number) {
        ListedPort port;
        port.number = number;
        if (const auto entry = entries.find(number); entry != entries.end()) {
            const fs::path link = portsFolder / PortLinkName(number);
            port.linkTarget = fs::read_symlink(link, error).string();
            if (entry->second && fs::is_directory(*entry->second, error)) {
                listing.problems.push_back(link.string() + " leads to a folder, not a device");
            } else if (entry->second) {
                port.device = entry->second->string();
                port.description = Describe(root, *entry->second);
            }
        } else if (IsBuiltInUartPresent(root, BuiltInName(number))) {
            port.device = (root / "dev" / BuiltInName(number)).string();
            port.description = kBuiltInDescription;
        } else {
            continue;
        }
        listing.ports.push_back(port);
    }
    return listing;
}
