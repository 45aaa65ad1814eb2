#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where a device named "\\.\COM<n>" may be found on this system.
struct PortPathCandidates {
    // <config home>/quenlark/ports/com<n>, usually a symbolic link to the real device; empty
    // when there is no config home to look in.
    std::string linkPath;
    // /dev/ttyS<n-1>, the built-in port of that number.
    std::string devicePath;
};

// The highest COM port number.
constexpr int kHighestComPort = 255;

// The name of port n's entry in the ports folder: "com<n>".
std::string PortLinkName(int number);

// <config home>/quenlark/ports, where the links com<n> live, or "" when there is no config
// home. The config home is `xdgConfigHome` when it is an absolute path, otherwise `home` +
// "/.config"; absent or empty values count as unset.
std::string PortsFolderFor(const char* xdgConfigHome, const char* home);
// The ports folder of this process's environment.
std::string PortsFolder();

// The candidates for `deviceName`, or nothing when the name is not "\\.\COM<n>" with n from
// 1 to 255 written without leading zeros; the link is in PortsFolderFor's folder.
std::optional<PortPathCandidates> PortPathCandidatesFor(std::string_view deviceName,
                                                        const char* xdgConfigHome,
                                                        const char* home);

// The path to open for `deviceName` in this process's environment: the link unless there is
// no such link (even one that leads nowhere, so an unplugged adapter is not mistaken for a
// built-in port; and one that cannot be read, so that opening it fails with the reason), else
// the built-in port; nothing when the name is no port name.
std::optional<std::string> ResolvePortPath(std::string_view deviceName);
