#pragma once

#include <string>
#include <vector>

// A COM port number that exists on this system.
struct ListedPort {
    int number = 0;
    // The device the number opens now; "" when it leads nowhere (an unplugged adapter).
    std::string device;
    // What it is, in UTF-8: the adapter's product and maker, "built-in UART", the system's
    // name for it; "" when unknown.
    std::string description;
    // For a number the program's own link gives: the link's target.
    std::string linkTarget;
};

struct PortListing {
    // Sorted by number.
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
