#pragma once

#include "serial/SystemPorts.h"

#include <filesystem>
#include <string>
#include <vector>

// COM numbers that USB and ACM serial adapters get by themselves, as on Windows: the first
// time one is seen it gets the lowest free number as a link <ports folder>/com<n> to its
// stable name, and keeps it. A number is free when the ports folder has no entry for it
// (a link that leads nowhere is an unplugged adapter's) and no built-in UART is at
// ttyS<n-1>. `root` stands for "/": the devices are read from root/dev and root/sys.

// Links each adapter that no entry of the ports folder leads to yet, making the folder
// (mode 0700) when it is missing. Entries already there are never changed. Returns a line for
// each adapter left without a number and why.
std::vector<std::string> AssignPortNumbers(const std::filesystem::path& root,
                                           const std::filesystem::path& portsFolder);

// The numbers that exist: each entry of the ports folder, and each built-in UART present
// that no entry hides.
PortListing ListPorts(const std::filesystem::path& root, const std::filesystem::path& portsFolder);
