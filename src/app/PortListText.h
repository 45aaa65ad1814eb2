#pragma once

#include "serial/SystemPorts.h"

#include <string>
#include <vector>

// The port-number field's tooltip: a line "COM<n>: <what it is>" for each port that is
// there, or "No serial ports found".
std::string PortListToolTip(const std::vector<ListedPort>& ports);

// A line of --list-ports: "COM<n>", the device it opens ("-" when none), what it is, and for
// a link its target, apart with tabs; no line end.
std::string PortListLine(const ListedPort& port);
