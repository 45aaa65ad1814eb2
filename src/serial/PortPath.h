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

// The candidates for `deviceName`, or nothing when the name is not "\\.\COM<n>" with n from
// 1 to 255 written without leading zeros. The config home is `xdgConfigHome` when it is an
// absolute path, otherwise `home` + "/.config"; absent or empty values count as unset.
std::optional<PortPathCandidates> PortPathCandidatesFor(std::string_view deviceName,
                                                        const char* xdgConfigHome,
                                                        const char* home);

// The path to open for `deviceName` in this process's environment: the link when one exists
// (even one that leads nowhere, so an unplugged adapter is not mistaken for a built-in port),
// else the built-in port; nothing when the name is no port name.
std::optional<std::string> ResolvePortPath(std::string_view deviceName);
