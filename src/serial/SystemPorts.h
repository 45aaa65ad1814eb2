#pragma once

#include <string>
#include <vector>

// A COM port number that exists on this system, or a serial device present without one.
struct ListedPort {
    // 0 for a device without a number.
    int number = 0;
    // The device the number opens now; "" when it leads nowhere (an unplugged adapter).
    std::string device;
    // What it is, in UTF-8: the adapter's product, maker and USB ids, "built-in UART", the
    // driver and kernel name of a board UART, the system's name for it; "" when unknown.
    std::string description;
    // For a number the program's own link gives: the link's target.
    std::string linkTarget;
    // For a device without a number: why it has none.
    std::string reason;
};

struct PortListing {
    // Sorted by number, the devices without one last.
    std::vector<ListedPort> ports;
    // What could not be read or done, one line each.
    std::vector<std::string> problems;
    // False when the ports could not be read at all.
    bool readable = true;
};

// Gives the serial adapters plugged in that have no number yet the lowest free one, where the
// program keeps the numbers itself; returns a line for each adapter left without one and why.
std::vector<std::string> AssignSystemPortNumbers();
// The port numbers that exist.
PortListing ListSystemPorts();
