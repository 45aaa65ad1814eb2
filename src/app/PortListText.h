#pragma once

#include "serial/SystemPorts.h"

#include <string>
#include <vector>

// The port-number field's tooltip: a line "COM<n>: <what it is>" for each port that is
// there, "-: <device>, <what it is> (<why it has no number>)" for each device without a number, or
// "No serial ports found".
std::string PortListToolTip(const std::vector<ListedPort>& ports);

// A line of --list-ports, always four fields apart with tabs: "COM<n>" ("-" for a device
// without a number), the device it opens, what it is, and the link's target (for a device
// without a number: why it has none); "-" for each field that is empty. No line end.
std::string PortListLine(const ListedPort& port);
