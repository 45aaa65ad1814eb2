#pragma once

#include "serial/SystemPorts.h"

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// COM numbers that serial devices get by themselves, as on Windows: the first time one is
// seen it gets the lowest free number as a link <ports folder>/com<n> to its stable name, and
// keeps it. A number is free when the ports folder has no entry for it (a link that leads
// nowhere is an unplugged adapter's) and no built-in UART is at ttyS<n-1>.
//
// A link follows what Windows follows: a USB adapter whose serial number no other adapter
// present shares goes by its by-id name, in any socket; any other USB adapter goes by its
// socket (by-path), since udev gives every serial-less unit of a model one by-id name. A board
// UART goes by its kernel name, which is stable for it. A USB adapter that udev has not
// finished with, or one on a system without udev, gets no number rather than a kernel name
// that the next adapter may take. A device behind a by-id or by-path name that sysfs does not
// show goes by that name.
//
// A number opens no device another number opens: where two entries lead to one device, the
// one that follows the name the device goes by now opens it, else the lowest, and the other
// says which number does.
//
// `root` stands for "/": the devices are read from root/dev, root/sys and root/run/udev.
// `user` is the effective user: root numbers nothing in a home that is not root's, so that
// the home's owner is not left with a folder they cannot change.

constexpr const char* kSystemRoot = "/";

// Links each device that no entry of the ports folder leads to yet, making the folder (mode
// 0700) when it is missing. Entries already there are never changed. Returns a line for each
// device the folder could take no number for, and why.
std::vector<std::string> AssignPortNumbers(const std::filesystem::path& root,
                                           const std::filesystem::path& portsFolder, uid_t user);

// The numbers that exist: each entry of the ports folder and each built-in UART present that
// no entry hides; then the devices present without a number, each with the reason.
PortListing ListPorts(const std::filesystem::path& root, const std::filesystem::path& portsFolder,
                      uid_t user);

// Why `path`, an entry of the ports folder, must open nothing although it leads to a device,
// or "": its link leads to a by-id name that two adapters present share, so it would open
// whichever of them udev saw last; or another number leads to the same device and goes by it.
std::string WhyPortEntryOpensNothing(const std::filesystem::path& root,
                                     const std::filesystem::path& path);
