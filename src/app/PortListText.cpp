#include "app/PortListText.h"

namespace {
constexpr const char* kNoPorts = "No serial ports found";
constexpr const char* kAbsentDevice = "-";

std::string ComName(const ListedPort& port) {
    return "COM" + std::to_string(port.number);
}
}  // namespace

std::string PortListToolTip(const std::vector<ListedPort>& ports) {
    std::string text;
    for (const ListedPort& port : ports) {
        if (port.device.empty()) {
            continue;
        }
        text += (text.empty() ? "" : "\n") + ComName(port) + ": " +
                (port.description.empty() ? port.device : port.description);
    }
    return text.empty() ? kNoPorts : text;
}

std::string PortListLine(const ListedPort& port) {
    std::string line = ComName(port) + '\t' + (port.device.empty() ? kAbsentDevice : port.device) +
                       '\t' + port.description;
    if (!port.linkTarget.empty()) {
        line += '\t' + port.linkTarget;
    }
    return line;
}
