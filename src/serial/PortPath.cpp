#include "serial/PortPath.h"

#include "serial/SerialDevice.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace {

constexpr std::string_view kPortsFolder = "/quenlark/ports";
constexpr std::string_view kPortLinkPrefix = "com";
constexpr std::string_view kBuiltInPortPrefix = "/dev/ttyS";

std::optional<int> PortNumberOf(std::string_view deviceName) {
    if (!deviceName.starts_with(kComDeviceNamePrefix)) {
        return std::nullopt;
    }
    const std::string_view digits = deviceName.substr(kComDeviceNamePrefix.size());
    if (digits.empty() || digits.size() > 3 || digits.front() == '0') {
        return std::nullopt;
    }
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    if (number > kHighestComPort) {
        return std::nullopt;
    }
    return number;
}

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

std::string ConfigHome(const char* xdgConfigHome, const char* home) {
    if (IsSet(xdgConfigHome) && xdgConfigHome[0] == '/') {
        return xdgConfigHome;
    }
    if (IsSet(home)) {
        return std::string(home) + "/.config";
    }
    return {};
}

}  // namespace

std::string PortLinkName(int number) {
    return std::string(kPortLinkPrefix) + std::to_string(number);
}

std::string PortsFolderFor(const char* xdgConfigHome, const char* home) {
    const std::string configHome = ConfigHome(xdgConfigHome, home);
    return configHome.empty() ? std::string() : configHome + std::string(kPortsFolder);
}

std::string PortsFolder() {
    return PortsFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::optional<PortPathCandidates> PortPathCandidatesFor(std::string_view deviceName,
                                                        const char* xdgConfigHome,
                                                        const char* home) {
    const std::optional<int> number = PortNumberOf(deviceName);
    if (!number) {
        return std::nullopt;
    }
    PortPathCandidates candidates;
    const std::string portsFolder = PortsFolderFor(xdgConfigHome, home);
    if (!portsFolder.empty()) {
        candidates.linkPath = portsFolder + '/' + PortLinkName(*number);
    }
    candidates.devicePath = std::string(kBuiltInPortPrefix) + std::to_string(*number - 1);
    return candidates;
}

std::optional<std::string> ResolvePortPath(std::string_view deviceName) {
    const std::optional<PortPathCandidates> candidates =
        PortPathCandidatesFor(deviceName, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (!candidates) {
        return std::nullopt;
    }
    // Only a missing link stands for the built-in port: a link or folder that cannot be read
    // opens as the link, and fails as it does, rather than opening another device.
    struct stat status {};
    if (!candidates->linkPath.empty() &&
        (::lstat(candidates->linkPath.c_str(), &status) == 0 || errno != ENOENT)) {
        return candidates->linkPath;
    }
    return candidates->devicePath;
}
